#include "xp_frame.h"

#include "controls/property_bag.h"
#include "ole_color.h"

#include <QPainter>

namespace sw {

ctlXPFrame::ctlXPFrame(QWidget* parent) : QWidget(parent) {
    // The painting covers every pixel; nothing of the parent needs to show through.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ctlXPFrame::setpBarWidth(int value) {
    m_barWidth = value;
    m_changed = true;
    update();
}

void ctlXPFrame::setpShowBorder(bool value) {
    m_showBorder = value;
    update();
}

void ctlXPFrame::readProperties(const PropertyBag& bag) {
    m_barWidth = readIntProperty(bag, QStringLiteral("BarWidth"), kDefaultBarWidth);
    m_showBorder = readBoolProperty(bag, QStringLiteral("ShowBorder"), kDefaultShowBorder);
    m_changed = false;
    update();
}

void ctlXPFrame::writeProperties(PropertyBag& bag) {
    bag.writeProperty(QStringLiteral("BarWidth"), m_barWidth, kDefaultBarWidth);
    bag.writeProperty(QStringLiteral("ShowBorder"), m_showBorder, kDefaultShowBorder);
    m_changed = false;
}

void ctlXPFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    // With a border the bar is one pixel wider, so the shade right of the left line keeps its width.
    const int barRight = qBound(0, m_barWidth + (m_showBorder ? 1 : 0), w);
    painter.fillRect(QRect(0, 0, barRight, h), resolveOleColor(kBarColor, palette()));
    painter.fillRect(QRect(barRight, 0, w - barRight, h), resolveOleColor(kBodyColor, palette()));
    if (m_showBorder) {
        const QColor border = resolveOleColor(kBorderColor, palette());
        painter.fillRect(QRect(0, 0, w, 1), border);
        painter.fillRect(QRect(0, 0, 1, h), border);
    }
}

} // namespace sw
