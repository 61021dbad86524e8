// Reading and writing the registry files themselves: whole-file reads, file identity checks and
// complete writes.
#include "platform/wine/registry_file_io.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sw::winereg {

FileBytes::FileBytes(const QString& path, qint64 maxSize) {
    // Never blocks: a FIFO is refused below instead of waiting for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_error = errno;
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        m_error = errno;
    else if (!S_ISREG(st.st_mode))
        m_error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    else if (maxSize >= 0 && st.st_size > maxSize)
        m_tooLarge = true;
    else {
        // One byte more than the file holds: a read that stops short of it at the size seen ends
        // the file, which saves the read that would return 0.
        m_bytes.resize(static_cast<qsizetype>(st.st_size) + 1);
        qsizetype done = 0;
        for (;;) {
            if (done == m_bytes.size())
                m_bytes.resize(done + 65536); // the file grew meanwhile
            const qsizetype wanted = m_bytes.size() - done;
            const ssize_t n = ::read(fd, m_bytes.data() + done, static_cast<size_t>(wanted));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_ok = n == 0;
                m_error = n < 0 ? errno : 0;
                break;
            }
            done += n;
            if (n < wanted && done == st.st_size) {
                m_ok = true;
                break;
            }
        }
        m_bytes.truncate(done);
    }
    ::close(fd);
}

bool fileState(const QByteArray& path, FileState& state, struct stat* out) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return false;
    state = {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    if (out)
        *out = st;
    return true;
}

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, QByteArrayView data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace sw::winereg
