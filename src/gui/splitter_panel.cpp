#include "splitter_panel.h"

#include "controls/twips.h"
#include "ole_color.h"

#include <QGuiApplication>
#include <QMouseEvent>

namespace sw {

SplitterPanel::SplitterPanel(QWidget* parent) : QWidget(parent), m_pbSplit(new QWidget(this)) {
    m_pbSplit->setObjectName(QStringLiteral("pbSplit"));
    m_pbSplit->setAutoFillBackground(true);
    m_pbSplit->installEventFilter(this);
    setAutoFillBackground(true);

    // A new control: the defaults of the state, applied through the properties that have effects.
    setHorizontal(false);
    setDragColor(kColorButtonText);
    setBackColor(kColorButtonFace);
    setSnapped(0);
}

void SplitterPanel::setControl1(QWidget* control) {
    if (control && control->parentWidget() != this) {
        control->setParent(this);
        control->show();
    }
    m_control1 = control;
    layoutPanels();
}

void SplitterPanel::setControl2(QWidget* control) {
    if (control && control->parentWidget() != this) {
        control->setParent(this);
        control->show();
    }
    m_control2 = control;
    layoutPanels();
}

void SplitterPanel::setMinPanelSize(int value) {
    m_core.setMinPanelSize(value);
    layoutPanels();
}

void SplitterPanel::setHorizontal(bool value) {
    m_core.setHorizontal(value);
    applyCursor();
    layoutPanels();
}

void SplitterPanel::setSnapToEdge(bool value) {
    m_core.setSnapToEdge(value);
    layoutPanels();
}

void SplitterPanel::setSplitterWidth(int value) {
    m_core.setSplitterWidth(value);
    layoutPanels();
}

void SplitterPanel::setPosition(int value) {
    m_core.setPosition(value);
    layoutPanels();
}

void SplitterPanel::setBackColor(uint value) {
    m_core.setBackColor(value);
    applyBackColor();
}

void SplitterPanel::setDragColor(uint value) {
    m_core.setDragColor(value);
}

void SplitterPanel::setSnapped(int value) {
    m_core.setSnapped(value, splitLength(m_core.state(), innerTwips()));
    m_pbSplit->raise();
    layoutPanels();
}

void SplitterPanel::readProperties(const PropertyBag& bag) {
    m_core.readProperties(bag, innerTwips());
    applyCursor();
    applyBackColor();
    m_pbSplit->raise();
    layoutPanels();
}

void SplitterPanel::writeProperties(PropertyBag& bag) {
    m_core.writeProperties(bag);
}

void SplitterPanel::layoutPanels() {
    // A panel deleted behind the splitter's back counts as not set.
    m_core.setControlsPresent(!m_control1.isNull(), !m_control2.isNull());
    const SplitterLayout result = m_core.layout(innerTwips());
    if (m_control1 && result.control1Visible)
        m_control1->setVisible(*result.control1Visible);
    if (m_control2 && result.control2Visible)
        m_control2->setVisible(*result.control2Visible);

    const TwipScale twips = scale();
    m_pbSplit->setGeometry(twips.toPixels(result.bar));
    if (m_control1 && result.control1)
        m_control1->setGeometry(twips.toPixels(*result.control1));
    if (m_control2 && result.control2)
        m_control2->setGeometry(twips.toPixels(*result.control2));
    emit LayoutChanged(m_core.positionField());
}

void SplitterPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutPanels();
}

bool SplitterPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_pbSplit)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_dragging = true;
            paintBar(DragColor());
            m_pbSplit->raise();
        }
        return true;
    case QEvent::MouseMove:
        if (m_dragging)
            dragTo(static_cast<QMouseEvent*>(event)->position());
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            dropBar();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

TwipScale SplitterPanel::scale() const {
    return TwipScale(logicalDpiX(), logicalDpiY());
}

QSizeF SplitterPanel::innerTwips() const {
    return scale().toTwips(size());
}

void SplitterPanel::applyCursor() {
    m_pbSplit->setCursor(Horizontal() ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void SplitterPanel::paintBar(uint color) {
    QPalette bar = m_pbSplit->palette();
    bar.setColor(QPalette::Window, resolveOleColor(color, QGuiApplication::palette()));
    m_pbSplit->setPalette(bar);
}

void SplitterPanel::applyBackColor() {
    paintBar(BackColor());
    QPalette surface = palette();
    surface.setColor(QPalette::Window, resolveOleColor(BackColor(), QGuiApplication::palette()));
    setPalette(surface);
}

// The bar's centre follows the pointer; nothing else moves until the drop, and the bar may leave
// the control's area.
void SplitterPanel::dragTo(QPointF pointer) {
    const TwipScale twips = scale();
    const int half = SplitterWidth() / 2;
    if (Horizontal()) {
        const double top = twips.toTwipsY(m_pbSplit->y()) + twips.toTwipsY(pointer.y()) - half;
        m_pbSplit->move(m_pbSplit->x(), twips.toPixelsY(top));
    } else {
        const double left = twips.toTwipsX(m_pbSplit->x()) + twips.toTwipsX(pointer.x()) - half;
        m_pbSplit->move(twips.toPixelsX(left), m_pbSplit->y());
    }
}

void SplitterPanel::dropBar() {
    m_dragging = false;
    paintBar(BackColor());
    const TwipScale twips = scale();
    const double start = Horizontal() ? twips.toTwipsY(m_pbSplit->y()) : twips.toTwipsX(m_pbSplit->x());
    m_core.drop(start, splitLength(m_core.state(), innerTwips()));
    layoutPanels();
}

} // namespace sw
