// Reading and writing the registry files themselves: whole-file reads, the streaming read of one
// key's section, file identity checks and complete writes.
#include "platform/wine/registry_file_io.h"

#include "platform/wine/registry_text.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sw::winereg {

namespace {

// Reads a file line by line through one reused buffer (the lines are views into it), so that finding
// one key in a large file costs about what `cat` costs: no allocation of the whole file.
class LineReader {
public:
    explicit LineReader(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)),
          m_buffer(1 << 20, Qt::Uninitialized) {}
    ~LineReader() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool failed() const { return m_failed; }

    // The next line without its '\n' (the last line may lack one); false at the end or on an error.
    bool next(QByteArrayView& line) {
        for (;;) {
            if (m_start < m_end) {
                const void* hit =
                    std::memchr(m_buffer.constData() + m_start, '\n', static_cast<size_t>(m_end - m_start));
                if (hit) {
                    const qsizetype stop = static_cast<const char*>(hit) - m_buffer.constData();
                    line = QByteArrayView(m_buffer.constData() + m_start, stop - m_start);
                    m_start = stop + 1;
                    return true;
                }
            }
            if (m_eof) {
                if (m_start < m_end) {
                    line = QByteArrayView(m_buffer.constData() + m_start, m_end - m_start);
                    m_start = m_end;
                    return true;
                }
                return false;
            }
            // keep the partial line, make room, read more
            if (m_start > 0) {
                std::memmove(m_buffer.data(), m_buffer.constData() + m_start,
                             static_cast<size_t>(m_end - m_start));
                m_end -= m_start;
                m_start = 0;
            }
            if (m_end == m_buffer.size())
                m_buffer.resize(m_buffer.size() * 2); // a line longer than the buffer
            const ssize_t n = m_fd < 0 ? -1
                                       : ::read(m_fd, m_buffer.data() + m_end,
                                                static_cast<size_t>(m_buffer.size() - m_end));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                m_failed = true;
            if (n <= 0)
                m_eof = true;
            else
                m_end += n;
        }
    }

private:
    int m_fd;
    QByteArray m_buffer;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    bool m_eof = false;
    bool m_failed = false;
};

bool isKeyLine(QByteArrayView line) {
    qsizetype p = 0;
    while (p < line.size() && (line[p] == ' ' || line[p] == '\t'))
        ++p;
    return p < line.size() && line[p] == '[';
}

} // namespace

FileBytes::FileBytes(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        m_bytes.resize(static_cast<qsizetype>(st.st_size));
        qsizetype done = 0;
        for (;;) {
            if (done == m_bytes.size())
                m_bytes.resize(done + 65536); // the file grew meanwhile
            const ssize_t n = ::read(fd, m_bytes.data() + done, static_cast<size_t>(m_bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_ok = n == 0;
                break;
            }
            done += n;
        }
        m_bytes.truncate(done);
    }
    ::close(fd);
}

SectionRead readSection(const QString& path, const QString& keyPath, QByteArray& section, bool& exists) {
    exists = false;
    LineReader reader(path);
    if (!reader.isOpen())
        return SectionRead::Unreadable;
    QByteArrayView line;
    if (!reader.next(line) || !hasValidHeader(line.toByteArray() + '\n'))
        return SectionRead::Unreadable;
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty())
        return SectionRead::Unreadable;
    const QString target = components.join(QLatin1Char('\\'));
    QString lowerTarget = target;
    for (QChar& c : lowerTarget)
        c = QChar(QChar::toLower(c.unicode()));
    bool collecting = false;
    while (reader.next(line)) {
        const bool keyLine = isKeyLine(line);
        if (collecting) {
            if (keyLine)
                break;
            section.append(line);
            section.append('\n');
            continue;
        }
        if (!keyLine)
            continue;
        SectionScanner scanner(line);
        KeySection candidate;
        if (!scanner.next(candidate, false) || !scanner.matchesPath(candidate, lowerTarget))
            continue;
        scanner.decodePath(candidate);
        if (candidate.valid && namesEqual(candidate.path, target)) {
            collecting = true;
            section = line.toByteArray() + '\n';
        }
    }
    if (reader.failed())
        return SectionRead::Unreadable;
    if (collecting) {
        exists = true;
        return SectionRead::Found;
    }
    // No section of its own: the key may still exist through its subkeys (rare; a second pass).
    LineReader again(path);
    again.next(line);
    while (again.next(line)) {
        if (!isKeyLine(line))
            continue;
        SectionScanner scanner(line);
        KeySection candidate;
        // Most lines differ within their first characters; only likely subkeys are decoded.
        if (!scanner.next(candidate, false) || !scanner.matchesPath(candidate, lowerTarget, true))
            continue;
        scanner.decodePath(candidate);
        const QStringList parts = splitKeyPath(candidate.path);
        if (candidate.valid && parts.size() > components.size()) {
            bool prefix = true;
            for (qsizetype i = 0; i < components.size() && prefix; ++i)
                prefix = namesEqual(parts[i], components[i]);
            if (prefix) {
                exists = true;
                break;
            }
        }
    }
    return again.failed() ? SectionRead::Unreadable : SectionRead::Missing;
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
