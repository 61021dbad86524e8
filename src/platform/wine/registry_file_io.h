#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>

namespace sw::winereg {

// The whole file, read with read(2) into one buffer. Not memory-mapped: a writer that truncates the
// file in place (Wine does for symlinked files) would turn a mapping into SIGBUS. A file larger
// than maxSize (when one is given) is not read.
class FileBytes {
public:
    explicit FileBytes(const QString& path, qint64 maxSize = -1);
    bool ok() const { return m_ok; }
    bool tooLarge() const { return m_tooLarge; }
    // Why it could not be read: an errno value, 0 when there was no error (or it was too large).
    int error() const { return m_error; }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    bool m_ok = false;
    bool m_tooLarge = false;
    int m_error = 0;
};

// What tells a file's versions apart: a change by anyone changes one of these.
struct FileState {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const FileState& o) const {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

bool fileState(const QByteArray& path, FileState& state, struct stat* out = nullptr);
QString errnoText();
// Writes all of data, retrying after interruptions; false on an error (errno tells which).
bool writeAll(int fd, QByteArrayView data);

} // namespace sw::winereg
