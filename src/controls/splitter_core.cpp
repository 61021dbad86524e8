#include "splitter_core.h"

#include "twips.h"

namespace sw {

void SplitterCore::setControlsPresent(bool control1, bool control2) {
    state_.hasControl1 = control1;
    state_.hasControl2 = control2;
}

void SplitterCore::setMinPanelSize(std::int32_t value) {
    state_.MinPanelSize = value;
    changed_ = true;
}

void SplitterCore::setHorizontal(bool value) {
    state_.Horizontal = value;
    changed_ = true;
}

void SplitterCore::setSnapToEdge(bool value) {
    state_.SnapToEdge = value;
    changed_ = true;
}

void SplitterCore::setSplitterWidth(std::int32_t value) {
    state_.SplitterWidth = value;
    changed_ = true;
}

void SplitterCore::setBackColor(std::uint32_t value) {
    state_.BackColor = value;
    changed_ = true;
}

void SplitterCore::setDragColor(std::uint32_t value) {
    state_.DragColor = value;
    changed_ = true;
}

void SplitterCore::setPosition(std::int32_t value) {
    state_.Position = value;
    state_.Snapped = 0;
    changed_ = true;
}

void SplitterCore::setSnapped(int value, double length) {
    if (!state_.SnapToEdge)
        value = 0;
    if (value == 1) {
        state_.Position = 0;
    } else if (value == 2) {
        state_.Position = roundHalfEven(length);
    } else {
        value = 0;
    }
    state_.Snapped = static_cast<std::int16_t>(value);
    changed_ = true;
}

void SplitterCore::drop(double barStart, double length) {
    const std::int64_t position = roundHalfEven(barStart + state_.SplitterWidth / 2);
    const std::int64_t total = roundHalfEven(length);
    const std::int64_t zone = state_.MinPanelSize / 4;
    state_.Position = static_cast<std::int32_t>(position);
    if (!state_.SnapToEdge)
        return;
    if (position < zone) {
        state_.Position = 0;
        state_.Snapped = 1;
    } else if (position > total - zone) {
        state_.Snapped = 2;
        state_.Position = static_cast<std::int32_t>(total - state_.SplitterWidth);
    } else {
        state_.Snapped = 0;
    }
}

SplitterLayout SplitterCore::layout(QSizeF innerTwips) {
    SplitterLayout result = LayoutPanels(state_, innerTwips);
    state_.Position = result.Position;
    return result;
}

} // namespace sw
