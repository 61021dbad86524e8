#include "property_bag.h"
#include "splitter_core.h"

namespace sw {

namespace {

// Colours are 32-bit patterns; accept them stored signed or unsigned.
std::uint32_t readColor(const PropertyBag& bag, const QString& name, std::uint32_t fallback) {
    bool ok = false;
    const qlonglong value = bag.readProperty(name, qlonglong{fallback}).toLongLong(&ok);
    return ok ? static_cast<std::uint32_t>(value) : fallback;
}

} // namespace

void SplitterCore::readProperties(const PropertyBag& bag, QSizeF innerTwips) {
    const SplitterState defaults;
    m_state.MinPanelSize = readIntProperty(bag, QStringLiteral("MinPanelSize"), defaults.MinPanelSize);
    setHorizontal(readBoolProperty(bag, QStringLiteral("Horizontal"), defaults.Horizontal));
    m_state.SnapToEdge = readBoolProperty(bag, QStringLiteral("SnapToEdge"), defaults.SnapToEdge);
    m_state.SplitterWidth = readIntProperty(bag, QStringLiteral("SplitterWidth"), defaults.SplitterWidth);
    setDragColor(readColor(bag, QStringLiteral("DragColor"), defaults.DragColor));
    setBackColor(readColor(bag, QStringLiteral("BackColor"), defaults.BackColor));
    setSnapped(readIntProperty(bag, QStringLiteral("Snapped"), defaults.Snapped),
               splitLength(m_state, innerTwips));
    m_state.Position = readIntProperty(bag, QStringLiteral("Position"), m_state.MinPanelSize);
    m_changed = false;
}

void SplitterCore::writeProperties(PropertyBag& bag) {
    const SplitterState defaults;
    bag.writeProperty(QStringLiteral("MinPanelSize"), m_state.MinPanelSize, defaults.MinPanelSize);
    bag.writeProperty(QStringLiteral("Horizontal"), m_state.Horizontal, defaults.Horizontal);
    bag.writeProperty(QStringLiteral("SnapToEdge"), m_state.SnapToEdge, defaults.SnapToEdge);
    bag.writeProperty(QStringLiteral("SplitterWidth"), m_state.SplitterWidth, defaults.SplitterWidth);
    bag.writeProperty(QStringLiteral("DragColor"), qlonglong{m_state.DragColor},
                      qlonglong{defaults.DragColor});
    bag.writeProperty(QStringLiteral("BackColor"), qlonglong{m_state.BackColor},
                      qlonglong{defaults.BackColor});
    bag.writeProperty(QStringLiteral("Snapped"), int{m_state.Snapped}, int{defaults.Snapped});
    bag.writeProperty(QStringLiteral("Position"), m_state.Position, m_state.MinPanelSize);
    m_changed = false;
}

} // namespace sw
