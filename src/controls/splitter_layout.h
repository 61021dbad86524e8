#pragma once

#include "splitter_state.h"

#include <QRect>
#include <QSizeF>
#include <optional>

namespace sw {

// Result of one layout pass, rectangles in twips relative to the control's surface.
struct SplitterLayout {
    std::int32_t Position = 0; // the corrected position the control keeps
    QRect bar;
    std::optional<QRect> control1; // empty when Control1 is not set
    std::optional<QRect> control2;
    std::optional<bool> control1Visible; // empty: leave the visibility alone
    std::optional<bool> control2Visible;
};

// The layout pass, as a pure function of the state and the control's inner size in twips.
SplitterLayout layoutPanels(const SplitterState& state, QSizeF innerTwips);

// Length of the control in the split direction (height with a horizontal bar).
double splitLength(const SplitterState& state, QSizeF innerTwips);

} // namespace sw
