#include "server_lock.h"

#include "platform/wine/wine_running.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace sw::test {

HeldServerLock::HeldServerLock(const QString& prefix)
    : m_serverRoot(QDir::tempPath() + QStringLiteral("/wine-swlockXXXXXX")) {
    QFile redirect(prefix + QStringLiteral("/wineserver"));
    if (!m_serverRoot.isValid() || !redirect.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    redirect.write(QFileInfo(m_serverRoot.path()).fileName().toUtf8());
    redirect.close();
    QString lockFile;
    for (const QString& candidate : wineServerLockFiles(prefix))
        if (candidate.startsWith(m_serverRoot.path() + QLatin1Char('/')))
            lockFile = candidate;
    if (lockFile.isEmpty() || !QDir().mkpath(QFileInfo(lockFile).path()))
        return;
    const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    if (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        m_fd = fd;
    else if (fd >= 0)
        ::close(fd);
}

HeldServerLock::~HeldServerLock() {
    release();
}

void HeldServerLock::release() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace sw::test
