#include "splitter_panel.h"

#include "controls/twips.h"
#include "ole_color.h"

#include <QGuiApplication>
#include <QMouseEvent>

namespace sw {

SplitterPanel::SplitterPanel(QWidget* parent) : QWidget(parent), pbSplit_(new QWidget(this)) {
    pbSplit_->setObjectName(QStringLiteral("pbSplit"));
    pbSplit_->setAutoFillBackground(true);
    pbSplit_->installEventFilter(this);
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
    control1_ = control;
    LayoutPanels();
}

void SplitterPanel::setControl2(QWidget* control) {
    if (control && control->parentWidget() != this) {
        control->setParent(this);
        control->show();
    }
    control2_ = control;
    LayoutPanels();
}

void SplitterPanel::setMinPanelSize(int value) {
    core_.setMinPanelSize(value);
    LayoutPanels();
}

void SplitterPanel::setHorizontal(bool value) {
    core_.setHorizontal(value);
    applyCursor();
    LayoutPanels();
}

void SplitterPanel::setSnapToEdge(bool value) {
    core_.setSnapToEdge(value);
    LayoutPanels();
}

void SplitterPanel::setSplitterWidth(int value) {
    core_.setSplitterWidth(value);
    LayoutPanels();
}

void SplitterPanel::setPosition(int value) {
    core_.setPosition(value);
    LayoutPanels();
}

void SplitterPanel::setBackColor(uint value) {
    core_.setBackColor(value);
    applyBackColor();
}

void SplitterPanel::setDragColor(uint value) {
    core_.setDragColor(value);
}

void SplitterPanel::setSnapped(int value) {
    core_.setSnapped(value, splitLength(core_.state(), innerTwips()));
    pbSplit_->raise();
    LayoutPanels();
}

void SplitterPanel::ReadProperties(const PropertyBag& bag) {
    core_.readProperties(bag, innerTwips());
    applyCursor();
    applyBackColor();
    pbSplit_->raise();
    LayoutPanels();
}

void SplitterPanel::WriteProperties(PropertyBag& bag) {
    core_.writeProperties(bag);
}

void SplitterPanel::LayoutPanels() {
    // A panel deleted behind the splitter's back counts as not set.
    core_.setControlsPresent(!control1_.isNull(), !control2_.isNull());
    const SplitterLayout result = core_.layout(innerTwips());
    if (control1_ && result.control1Visible)
        control1_->setVisible(*result.control1Visible);
    if (control2_ && result.control2Visible)
        control2_->setVisible(*result.control2Visible);

    const TwipScale twips = scale();
    pbSplit_->setGeometry(twips.toPixels(result.bar));
    if (control1_ && result.control1)
        control1_->setGeometry(twips.toPixels(*result.control1));
    if (control2_ && result.control2)
        control2_->setGeometry(twips.toPixels(*result.control2));
    emit LayoutChanged(core_.positionField());
}

void SplitterPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutPanels();
}

bool SplitterPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != pbSplit_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            dragging_ = true;
            paintBar(DragColor());
            pbSplit_->raise();
        }
        return true;
    case QEvent::MouseMove:
        if (dragging_)
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
    pbSplit_->setCursor(Horizontal() ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void SplitterPanel::paintBar(uint color) {
    QPalette bar = pbSplit_->palette();
    bar.setColor(QPalette::Window, resolveOleColor(color, QGuiApplication::palette()));
    pbSplit_->setPalette(bar);
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
        const double top = twips.toTwipsY(pbSplit_->y()) + twips.toTwipsY(pointer.y()) - half;
        pbSplit_->move(pbSplit_->x(), twips.toPixelsY(top));
    } else {
        const double left = twips.toTwipsX(pbSplit_->x()) + twips.toTwipsX(pointer.x()) - half;
        pbSplit_->move(twips.toPixelsX(left), pbSplit_->y());
    }
}

void SplitterPanel::dropBar() {
    dragging_ = false;
    paintBar(BackColor());
    const TwipScale twips = scale();
    const double start = Horizontal() ? twips.toTwipsY(pbSplit_->y()) : twips.toTwipsX(pbSplit_->x());
    core_.drop(start, splitLength(core_.state(), innerTwips()));
    LayoutPanels();
}

} // namespace sw
