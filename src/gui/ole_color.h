#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <optional>

namespace sw {

// Colours are 32-bit values with red in the low byte; with the high bit set the low byte names a
// system colour instead, which maps to a palette role here.
std::optional<QPalette::ColorRole> systemColorRole(int index);

QColor resolveOleColor(std::uint32_t color, const QPalette& palette);

} // namespace sw
