#include "durable_file.h"

#include "folder_owner.h"
#include "platform/file_system.h"
#include "registry_file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace sw {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

[[noreturn]] void fail(const QString& what, const QByteArray& path) {
    throw FileSystemError(
        QStringLiteral("%1 %2: %3").arg(what, QFile::decodeName(path), systemError()).toStdString());
}

// The target's folder is missing: the cause to name is usually why it could not be made, a folder
// above that may not be written, not "No such file or directory".
[[noreturn]] void failForMissingFolder(const QByteArray& target) {
    const QString folder = QFileInfo(QFile::decodeName(target)).absolutePath();
    QString existing = folder;
    while (!QFileInfo(existing).isDir() && existing != QLatin1String("/"))
        existing = QFileInfo(existing).absolutePath();
    if (::access(QFile::encodeName(existing).constData(), W_OK | X_OK) != 0)
        throw FileSystemError(
            QStringLiteral("Cannot write %1: its folder %2 does not exist and cannot be made "
                           "in %3: %4")
                .arg(QFile::decodeName(target), folder, existing, systemError())
                .toStdString());
    throw FileSystemError(QStringLiteral("Cannot write %1: its folder %2 does not exist.")
                              .arg(QFile::decodeName(target), folder)
                              .toStdString());
}

} // namespace

LockedTemporary::LockedTemporary(const QByteArray& target) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
    // Lock the file before it has a name, so that no other writer ever sees it unlocked.
    m_fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_EX);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_name = target + kWriteTemporaryMark +
                     QByteArray::number(quint64(::getpid()) * 1000 + quint64(attempt), 36);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, m_name.constData(), AT_SYMLINK_FOLLOW) == 0) {
                takeOwnerOfFolder(m_fd, target);
                return;
            }
            if (errno != EEXIST)
                break;
        }
        ::close(m_fd);
        m_fd = -1;
    }
    // File systems without unnamed files: lock right after creating.
    m_name = target + kWriteTemporaryMark + "XXXXXX";
    m_fd = ::mkstemp(m_name.data());
    if (m_fd < 0) {
        if (errno == ENOENT)
            failForMissingFolder(target);
        fail(QStringLiteral("Cannot create a file beside"), target);
    }
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    takeOwnerOfFolder(m_fd, target);
}

LockedTemporary::~LockedTemporary() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(m_name.constData());
}

void LockedTemporary::commitTo(const QByteArray& target) {
    if (::fsync(m_fd) != 0)
        fail(QStringLiteral("Cannot write"), m_name);
    if (::rename(m_name.constData(), target.constData()) != 0)
        fail(QStringLiteral("Cannot replace"), target);
    m_committed = true;
    syncFolderOf(target);
}

void removeAbandonedTemporaries(const QByteArray& target) {
    const QFileInfo info(QFile::decodeName(target));
    const QString prefix = info.fileName() + QLatin1String(kWriteTemporaryMark);
    const QDir folder = info.absoluteDir();
    const QStringList names =
        folder.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        // A free lock means the writer is gone: its file will never be renamed.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

mode_t currentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

void syncFolderOf(const QByteArray& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void copyFileDurably(const QString& sourceHostPath, const QString& targetHostPath,
                     const QList<QByteArray>& keptAttributes) {
    const QByteArray source = QFile::encodeName(sourceHostPath);
    const QByteArray target = QFile::encodeName(targetHostPath);
    // Without blocking: a FIFO in a file's place would wait for a writer that never comes.
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0)
        fail(QStringLiteral("Cannot read"), source);
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int error = errno;
        ::close(in);
        errno = error;
        fail(QStringLiteral("Cannot read"), source);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(in);
        throw FileSystemError(
            QStringLiteral("Cannot copy %1: it is %2, not an ordinary file.")
                .arg(QFile::decodeName(source), S_ISDIR(st.st_mode)    ? QStringLiteral("a folder")
                                                : S_ISFIFO(st.st_mode) ? QStringLiteral("a pipe")
                                                                       : QStringLiteral("a device or socket"))
                .toStdString());
    }
    removeAbandonedTemporaries(target);
    LockedTemporary temporary(target);
    // Before the mode: a read-only file takes no attributes from its owner.
    for (const QByteArray& name : keptAttributes) {
        char value[256];
        const ssize_t length = ::fgetxattr(in, name.constData(), value, sizeof value);
        if (length >= 0 && ::fsetxattr(temporary.fd(), name.constData(), value, size_t(length), 0) != 0) {
            const int error = errno;
            ::close(in);
            errno = error;
            fail(QStringLiteral("Cannot keep the attribute %1 of the copy").arg(QLatin1String(name)), target);
        }
    }
    ::fchmod(temporary.fd(), st.st_mode & 0777);
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || !winereg::writeAll(temporary.fd(), QByteArrayView(buffer, got))) {
            const int error = errno;
            ::close(in);
            errno = error;
            fail(QStringLiteral("Cannot copy to"), target);
        }
    }
    ::close(in);
    temporary.commitTo(target);
}

} // namespace sw
