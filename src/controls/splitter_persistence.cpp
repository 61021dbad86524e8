#include "property_bag.h"
#include "splitter_core.h"

namespace sw {

namespace {

// Colours are 32-bit patterns; accept them stored signed or unsigned.
std::uint32_t readColor(const PropertyBag& bag, const QString& name, std::uint32_t fallback) {
    bool ok = false;
    const qlonglong value = bag.ReadProperty(name, qlonglong{fallback}).toLongLong(&ok);
    return ok ? static_cast<std::uint32_t>(value) : fallback;
}

} // namespace

void SplitterCore::readProperties(const PropertyBag& bag, QSizeF innerTwips) {
    const SplitterState defaults;
    state_.MinPanelSize = readIntProperty(bag, QStringLiteral("MinPanelSize"), defaults.MinPanelSize);
    setHorizontal(readBoolProperty(bag, QStringLiteral("Horizontal"), defaults.Horizontal));
    state_.SnapToEdge = readBoolProperty(bag, QStringLiteral("SnapToEdge"), defaults.SnapToEdge);
    state_.SplitterWidth = readIntProperty(bag, QStringLiteral("SplitterWidth"), defaults.SplitterWidth);
    setDragColor(readColor(bag, QStringLiteral("DragColor"), defaults.DragColor));
    setBackColor(readColor(bag, QStringLiteral("BackColor"), defaults.BackColor));
    setSnapped(readIntProperty(bag, QStringLiteral("Snapped"), defaults.Snapped),
               splitLength(state_, innerTwips));
    state_.Position = readIntProperty(bag, QStringLiteral("Position"), state_.MinPanelSize);
    changed_ = false;
}

void SplitterCore::writeProperties(PropertyBag& bag) {
    const SplitterState defaults;
    bag.WriteProperty(QStringLiteral("MinPanelSize"), state_.MinPanelSize, defaults.MinPanelSize);
    bag.WriteProperty(QStringLiteral("Horizontal"), state_.Horizontal, defaults.Horizontal);
    bag.WriteProperty(QStringLiteral("SnapToEdge"), state_.SnapToEdge, defaults.SnapToEdge);
    bag.WriteProperty(QStringLiteral("SplitterWidth"), state_.SplitterWidth, defaults.SplitterWidth);
    bag.WriteProperty(QStringLiteral("DragColor"), qlonglong{state_.DragColor},
                      qlonglong{defaults.DragColor});
    bag.WriteProperty(QStringLiteral("BackColor"), qlonglong{state_.BackColor},
                      qlonglong{defaults.BackColor});
    bag.WriteProperty(QStringLiteral("Snapped"), int{state_.Snapped}, int{defaults.Snapped});
    bag.WriteProperty(QStringLiteral("Position"), state_.Position, state_.MinPanelSize);
    changed_ = false;
}

} // namespace sw
