#include "single_instance_lock.h"

#include <QDir>
#include <QStandardPaths>

namespace sw {

SingleInstanceLock::SingleInstanceLock(QString lockPath) : m_lock(lockPath) {
    // A lock older than this whose owner no longer runs is stale; QLockFile checks the owner's pid.
    m_lock.setStaleLockTime(0);
}

QString SingleInstanceLock::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/startwarden-") + qEnvironmentVariable("USER", QStringLiteral("user")) +
           QStringLiteral(".lock");
}

bool SingleInstanceLock::anotherInstanceRunning() {
    if (m_lock.isLocked())
        return false;
    if (m_lock.tryLock(0))
        return false;
    // Only a lock held by a live process means another copy; anything else (no permission to the
    // folder) must not keep the user out.
    return m_lock.error() == QLockFile::LockFailedError;
}

void SingleInstanceLock::createMarker(const QString& name) {
    m_marker = std::make_unique<QLocalServer>();
    m_marker->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    m_marker->listen(name);
}

} // namespace sw
