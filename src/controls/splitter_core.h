#pragma once

#include "splitter_layout.h"
#include "splitter_state.h"

namespace sw {

class PropertyBag;

// The window-free part of the splitter panel: property writes with their side effects on the state,
// the drop rule and persistence. The widget adds what needs a window (cursor, colours, geometry) and
// runs the layout pass where a write asks for one.
class SplitterCore {
public:
    const SplitterState& state() const { return m_state; }

    void setControlsPresent(bool control1, bool control2);
    void setMinPanelSize(std::int32_t value);
    void setHorizontal(bool value);
    void setSnapToEdge(bool value);
    void setSplitterWidth(std::int32_t value);
    void setBackColor(std::uint32_t value);
    void setDragColor(std::uint32_t value);
    // A written position ends any collapse.
    void setPosition(std::int32_t value);
    // length: the control's full length in the split direction, in twips.
    void setSnapped(int value, double length);

    // Release of the bar whose start (left or top) is at barStart; may collapse a panel.
    void drop(double barStart, double length);

    // Runs the layout pass and keeps its corrected position.
    SplitterLayout layout(QSizeF innerTwips);

    // The layout handler receives the position by reference; this is the field it refers to.
    std::int32_t& positionField() { return m_state.Position; }

    // Whether a persisted property was written since the last save.
    bool changed() const { return m_changed; }

    // Persistence through the host's property bag. Loading ends with the stored position, so it
    // wins over what restoring Snapped did; without one the position is the MinPanelSize just read.
    void readProperties(const PropertyBag& bag, QSizeF innerTwips);
    void writeProperties(PropertyBag& bag);

private:
    SplitterState m_state;
    bool m_changed = false;
};

} // namespace sw
