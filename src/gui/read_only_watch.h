#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QTimer;

namespace sw {

// Watches whether the prefix is read-only (a wineserver holds it) while a window is open, so that Wine
// started or ended meanwhile shows without a refresh. Asking is cheap (a lock probe on a few files),
// so it asks every kIntervalMs rather than watching folders that may not exist yet.
class ReadOnlyWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 2000;

    // reason: the platform's readOnlyReason, asked anew each time (a test may swap it).
    ReadOnlyWatch(std::function<QString()> reason, QObject* parent);

signals:
    // The prefix became read-only (reason not empty) or writable again.
    void changed(const QString& reason);

private:
    void check();

    std::function<QString()> m_reason;
    QTimer* m_timer;
    bool m_readOnly = false;
};

} // namespace sw
