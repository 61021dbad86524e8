#include "read_only_watch.h"

#include <QTimer>

namespace sw {

ReadOnlyWatch::ReadOnlyWatch(std::function<QString()> reason, QObject* parent)
    : QObject(parent), m_reason(std::move(reason)), m_timer(new QTimer(this)) {
    m_readOnly = !m_reason().isEmpty();
    m_timer->setInterval(kIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &ReadOnlyWatch::check);
    m_timer->start();
}

void ReadOnlyWatch::check() {
    const QString reason = m_reason();
    if (reason.isEmpty() == !m_readOnly)
        return;
    m_readOnly = !reason.isEmpty();
    emit changed(reason);
}

} // namespace sw
