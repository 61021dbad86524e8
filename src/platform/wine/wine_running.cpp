#include "platform/wine/wine_running.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

namespace {

// The start of a regular file; empty for anything else: a FIFO in its place must not stop the program.
QByteArray readSmallFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    QByteArray bytes(4096, Qt::Uninitialized);
    struct stat st {};
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = ::read(fd, bytes.data(), size_t(bytes.size()));
    ::close(fd);
    bytes.resize(std::max<ssize_t>(got, 0));
    return bytes;
}

} // namespace

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
    if (const QByteArray redirect = readSmallFile(QDir(prefixDir).filePath(QStringLiteral("wineserver")));
        !redirect.isEmpty()) {
        const QString name = QFile::decodeName(redirect).trimmed();
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
