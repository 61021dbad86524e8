#include "rating_strip.h"

#include "art.h"

#include <QEvent>

namespace sw {

RatingStrip::RatingStrip(QWidget* parent) : QLabel(parent) {}

void RatingStrip::setArtKey(const QString& key) {
    if (key == m_key && !pixmap().isNull())
        return;
    m_key = key;
    render();
}

void RatingStrip::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    render();
}

void RatingStrip::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // Moved to a screen of another pixel ratio.
    if (event->type() == QEvent::ScreenChangeInternal)
        render();
}

void RatingStrip::render() {
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = artPixmap(m_key, (QSizeF(size()) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    setPixmap(picture);
}

} // namespace sw
