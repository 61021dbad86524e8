#pragma once

#include "platform/single_instance.h"

#include <QLocalServer>
#include <QLockFile>
#include <memory>

namespace sw {

// One copy per user through a lock file in the user's runtime folder (a crashed copy's stale lock
// is taken over), and the marker as an abstract local socket, which the kernel removes with the
// process.
class SingleInstanceLock : public SingleInstance {
public:
    explicit SingleInstanceLock(QString lockPath = defaultLockPath());

    bool anotherInstanceRunning() override;
    void createMarker(const QString& name) override;

    static QString defaultLockPath();

private:
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_marker;
};

} // namespace sw
