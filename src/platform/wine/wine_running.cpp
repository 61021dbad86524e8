#include "platform/wine/wine_running.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

QStringList wineServerLockFiles(const QString& prefixDir) {
    QStringList files;
    struct stat st {};
    const QByteArray prefix = QFile::encodeName(prefixDir);
    if (::stat(prefix.constData(), &st) != 0)
        return files;
    const QString serverDir = QStringLiteral("server-%1-%2")
                                  .arg(static_cast<qulonglong>(st.st_dev), 0, 16)
                                  .arg(static_cast<qulonglong>(st.st_ino), 0, 16);
    const QString uid = QString::number(::getuid());
    files.append(QStringLiteral("/tmp/.wine-%1/%2/lock").arg(uid, serverDir));
    files.append(QStringLiteral("/run/user/%1/wine/%2/lock").arg(uid, serverDir));
    QFile redirect(QDir(prefixDir).filePath(QStringLiteral("wineserver")));
    if (redirect.open(QIODevice::ReadOnly)) {
        const QString name = QFile::decodeName(redirect.read(4096)).trimmed();
        if (!name.isEmpty() && !name.contains(QLatin1Char('/'))) {
            QString tmp = qEnvironmentVariable("TMPDIR");
            if (tmp.isEmpty())
                tmp = QStringLiteral("/tmp");
            files.append(QDir(tmp).filePath(name + QLatin1Char('/') + serverDir + QStringLiteral("/lock")));
            if (tmp != QStringLiteral("/tmp"))
                files.append(QStringLiteral("/tmp/%1/%2/lock").arg(name, serverDir));
        }
    }
    return files;
}

QString wineRunningOn(const QString& prefixDir) {
    for (const QString& file : wineServerLockFiles(prefixDir)) {
        const int fd =
            ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 1;
        const int r = ::fcntl(fd, F_GETLK, &lock);
        ::close(fd);
        if (r == 0 && lock.l_type != F_UNLCK) {
            const QString pid =
                lock.l_pid > 0 ? QStringLiteral(" (wineserver process %1)").arg(lock.l_pid) : QString();
            return QStringLiteral(
                       "Wine is running on the prefix %1%2; its registry is read-only until Wine has "
                       "ended (wineserver -k ends it).")
                .arg(QDir::toNativeSeparators(prefixDir), pid);
        }
    }
    return QString();
}

} // namespace sw
