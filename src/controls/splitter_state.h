#pragma once

#include <cstdint>

namespace sw {

// Colours with the high bit set name a system colour by the low byte.
inline constexpr std::uint32_t kColorButtonFace = 0x8000000F;
inline constexpr std::uint32_t kColorButtonText = 0x80000012;

// The state of one splitter panel, lengths in twips. Defaults are those of a newly placed control.
struct SplitterState {
    bool hasControl1 = false;
    bool hasControl2 = false;
    std::int32_t MinPanelSize = 2000;
    bool Horizontal = false;
    bool SnapToEdge = false;
    std::int32_t SplitterWidth = 75;
    std::int32_t Position = 3000;
    std::uint32_t BackColor = kColorButtonFace;
    std::uint32_t DragColor = kColorButtonText;
    std::int16_t Snapped = 0; // 0 both panels, 1 first collapsed to the near edge, 2 second to the far edge
};

} // namespace sw
