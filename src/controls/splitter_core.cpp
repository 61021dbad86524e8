#include "splitter_core.h"

#include "twips.h"

namespace sw {

void SplitterCore::setControlsPresent(bool control1, bool control2) {
    m_state.hasControl1 = control1;
    m_state.hasControl2 = control2;
}

void SplitterCore::setMinPanelSize(std::int32_t value) {
    m_state.MinPanelSize = value;
    m_changed = true;
}

void SplitterCore::setHorizontal(bool value) {
    m_state.Horizontal = value;
    m_changed = true;
}

void SplitterCore::setSnapToEdge(bool value) {
    m_state.SnapToEdge = value;
    m_changed = true;
}

void SplitterCore::setSplitterWidth(std::int32_t value) {
    m_state.SplitterWidth = value;
    m_changed = true;
}

void SplitterCore::setBackColor(std::uint32_t value) {
    m_state.BackColor = value;
    m_changed = true;
}

void SplitterCore::setDragColor(std::uint32_t value) {
    m_state.DragColor = value;
    m_changed = true;
}

void SplitterCore::setPosition(std::int32_t value) {
    m_state.Position = value;
    m_state.Snapped = 0;
    m_changed = true;
}

void SplitterCore::setSnapped(int value, double length) {
    if (!m_state.SnapToEdge)
        value = 0;
    if (value == 1) {
        m_state.Position = 0;
    } else if (value == 2) {
        m_state.Position = roundHalfEven(length);
    } else {
        value = 0;
    }
    m_state.Snapped = static_cast<std::int16_t>(value);
    m_changed = true;
}

void SplitterCore::drop(double barStart, double length) {
    const std::int64_t position = roundHalfEven(barStart + m_state.SplitterWidth / 2);
    const std::int64_t total = roundHalfEven(length);
    const std::int64_t zone = m_state.MinPanelSize / 4;
    m_state.Position = static_cast<std::int32_t>(position);
    if (!m_state.SnapToEdge)
        return;
    if (position < zone) {
        m_state.Position = 0;
        m_state.Snapped = 1;
    } else if (position > total - zone) {
        m_state.Snapped = 2;
        m_state.Position = static_cast<std::int32_t>(total - m_state.SplitterWidth);
    } else {
        m_state.Snapped = 0;
    }
}

SplitterLayout SplitterCore::layout(QSizeF innerTwips) {
    SplitterLayout result = layoutPanels(m_state, innerTwips);
    m_state.Position = result.Position;
    return result;
}

} // namespace sw
