#include "durable_file.h"

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
#include <unistd.h>

namespace sw {

namespace {

constexpr char kTemporaryMark[] = ".swtmp-";

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

[[noreturn]] void fail(const QString& what, const QByteArray& path) {
    throw FileSystemError(
        QStringLiteral("%1 %2: %3").arg(what, QFile::decodeName(path), systemError()).toStdString());
}

} // namespace

LockedTemporary::LockedTemporary(const QByteArray& target) : m_name(target + kTemporaryMark + "XXXXXX") {
    m_fd = ::mkstemp(m_name.data());
    if (m_fd < 0)
        fail(QStringLiteral("Cannot create a file beside"), target);
    // Nobody else knows the name yet, so the lock cannot be taken.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
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
    const QString prefix = info.fileName() + QLatin1String(kTemporaryMark);
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

void syncFolderOf(const QByteArray& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void copyFileDurably(const QString& sourceHostPath, const QString& targetHostPath) {
    const QByteArray source = QFile::encodeName(sourceHostPath);
    const QByteArray target = QFile::encodeName(targetHostPath);
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        fail(QStringLiteral("Cannot read"), source);
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        errno = EISDIR;
        fail(QStringLiteral("Cannot copy"), source);
    }
    removeAbandonedTemporaries(target);
    LockedTemporary temporary(target);
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
