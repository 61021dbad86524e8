#include "splitter_layout.h"

#include "twips.h"

#include <algorithm>
#include <limits>

namespace sw {

namespace {

// Sums of 32-bit properties can leave the 32-bit range; compute wide and saturate on the way back.
std::int32_t saturate(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int64_t correctedPosition(const SplitterState& state, std::int64_t length) {
    const std::int64_t minPanel = state.MinPanelSize;
    const std::int64_t halfBar = state.SplitterWidth / 2;
    std::int64_t position = state.Position;
    if (state.Snapped == 2)
        position = length - state.SplitterWidth;

    if (length < 2 * minPanel) {
        switch (state.Snapped) {
        case 0:
            return length / 2;
        case 1:
            return 0;
        case 2:
            return length - halfBar;
        default:
            return position;
        }
    }
    if (position >= minPanel) {
        if (position > length - minPanel)
            return state.Snapped == 2 ? length - halfBar : length - minPanel;
        return position;
    }
    return state.Snapped == 1 ? 0 : minPanel;
}

} // namespace

double splitLength(const SplitterState& state, QSizeF innerTwips) {
    return state.Horizontal ? innerTwips.height() : innerTwips.width();
}

SplitterLayout layoutPanels(const SplitterState& state, QSizeF innerTwips) {
    SplitterLayout out;
    if (state.hasControl1 && state.hasControl2) {
        if (state.Snapped >= 0 && state.Snapped <= 2) {
            out.control1Visible = state.Snapped != 1;
            out.control2Visible = state.Snapped != 2;
        }
    }

    const std::int64_t length = roundHalfEven(splitLength(state, innerTwips));
    const std::int64_t breadth = roundHalfEven(state.Horizontal ? innerTwips.width() : innerTwips.height());
    const std::int64_t width = state.SplitterWidth;
    out.Position = saturate(correctedPosition(state, length));

    const std::int64_t barStart = std::int64_t{out.Position} - width / 2;
    const std::int64_t secondStart = barStart + width;
    const int secondLength = saturate(std::max<std::int64_t>(1, length - secondStart));
    const int firstLength = saturate(std::max<std::int64_t>(1, barStart));
    const int across = saturate(std::max<std::int64_t>(1, breadth));
    const int thickness = saturate(std::max<std::int64_t>(1, width));

    // Rectangles are built along the split direction, then turned for a horizontal bar.
    auto place = [&](std::int64_t start, int extent) {
        return state.Horizontal ? QRect(0, saturate(start), across, extent)
                                : QRect(saturate(start), 0, extent, across);
    };
    out.bar = place(barStart, thickness);
    if (state.hasControl1)
        out.control1 = place(0, firstLength);
    if (state.hasControl2)
        out.control2 = place(secondStart, secondLength);
    return out;
}

} // namespace sw
