#include "prefix_writer_lock.h"

#include "folder_owner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

namespace {

// fcntl locks belong to the process, and closing any descriptor of the file drops them: a process
// opens the lock file once and shares that descriptor among its holds.
QRecursiveMutex heldMutex;

struct Held {
    int fd = -1;
    ~Held() {
        // Under the mutex: a close while another hold of this process is being taken would drop it.
        QMutexLocker locker(&heldMutex);
        if (fd >= 0)
            ::close(fd); // drops the lock
    }
};

QHash<QString, std::weak_ptr<Held>> heldLocks;

bool tryLock(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_SETLK, &lock) == 0;
}

int openLockFile(const QString& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    if (::mkdir(folder.constData(), 0777) == 0)
        takeOwnerOfFolder(folder);
    const QByteArray name = QFile::encodeName(file);
    // O_NONBLOCK: whatever has taken the name (a FIFO) must not stop the program.
    const int fd =
        ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (st.st_size == 0)
        takeOwnerOfFolder(fd, name);
    return fd;
}

} // namespace

QString prefixWriterLockFile(const QString& prefixDir) {
    return QDir(prefixDir).filePath(QStringLiteral("startwarden/writer.lock"));
}

std::shared_ptr<void> holdPrefixWriterLock(const QString& prefixDir, std::chrono::milliseconds wait) {
    const QString file = prefixWriterLockFile(prefixDir);
    QMutexLocker locker(&heldMutex);
    if (std::shared_ptr<Held> held = heldLocks.value(file).lock())
        return held;
    auto held = std::make_shared<Held>();
    held->fd = openLockFile(file);
    if (held->fd < 0)
        return held;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    // fcntl has no timed wait: try again in short steps, so a writer that ends is followed at once.
    for (unsigned long pause = 5; !tryLock(held->fd); pause = std::min(pause * 2, 50ul)) {
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return held; // a file system without locks
        if (std::chrono::steady_clock::now() >= deadline)
            return nullptr;
        QThread::msleep(pause);
    }
    heldLocks.insert(file, held);
    return held;
}

} // namespace sw
