// Indexing a whole registry file by key path: one pass that jumps from '[' to '[' and hashes the
// key lines, so that the value lines in between are never looked at.
#include "platform/wine/registry_file_index.h"

#include "platform/content_hold.h"
#include "platform/wine/registry_text_internal.h"

#include <QFile>
#include <QMutexLocker>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw::winereg {

using namespace detail;

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

constexpr quint64 kOnes = 0x0101010101010101ull;
constexpr quint64 kHighBits = 0x8080808080808080ull;

// Bytes of w that equal c get their high bit set in the result (w's own bytes all below 0x80).
quint64 bytesEqual(quint64 w, char c) {
    const quint64 x = w ^ (kOnes * static_cast<unsigned char>(c));
    return (x - kOnes) & ~x & kHighBits;
}

// A hash of bytes with ASCII letters lower-cased, eight bytes at a time (reading up to readable
// bytes, which may go past size). Returns false when a byte is no printable ASCII or is '[': such a
// path is not plain.
bool hashPlainBytes(const char* bytes, qsizetype size, qsizetype readable, quint64& hash) {
    quint64 h = 0x9e3779b97f4a7c15ull ^ static_cast<quint64>(size);
    for (qsizetype at = 0; at < size; at += 8) {
        quint64 w = 0;
        const qsizetype n = std::min<qsizetype>(8, size - at);
        if (readable - at >= 8)
            std::memcpy(&w, bytes + at, 8); // one load, the bytes past the path masked off below
        else
            std::memcpy(&w, bytes + at, static_cast<size_t>(n));
        const quint64 used = n == 8 ? ~0ull : (1ull << (8 * n)) - 1;
        w &= used;
        const quint64 control = (w - kOnes * 0x20) & ~w & kHighBits & used;
        if ((w & kHighBits) || control || (bytesEqual(w, '[') & used))
            return false;
        const quint64 upper = ((w + kOnes * (0x80 - 'A')) ^ (w + kOnes * (0x80 - 'Z' - 1))) & kHighBits;
        w |= upper >> 2; // 'A'..'Z' get 0x20
        h = (h ^ w) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    hash = h;
    return true;
}

// The path of a key line as Wine writes plain names: printable ASCII, "\\" only between two
// non-empty names. Such a path is its own canonical form, so its bytes, lower-cased, can be hashed
// and compared as they stand. Sets end to the closing ']'; false for any other line.
bool hashPlainKeyLine(QByteArrayView buffer, qsizetype pathBegin, qsizetype lineStop, quint64& hash,
                      qsizetype& end) {
    const char* const path = buffer.data() + pathBegin;
    const qsizetype length = lineStop - pathBegin;
    const void* close = std::memchr(path, ']', static_cast<size_t>(length));
    if (!close)
        return false;
    const qsizetype size = static_cast<const char*>(close) - path;
    // Every backslash is half of a "\\" between two names.
    for (qsizetype at = 0; at < size;) {
        const void* slash = std::memchr(path + at, '\\', static_cast<size_t>(size - at));
        if (!slash)
            break;
        const qsizetype i = static_cast<const char*>(slash) - path;
        if (i == 0 || i + 2 >= size || path[i + 1] != '\\' || path[i + 2] == '\\')
            return false;
        at = i + 2;
    }
    if (size == 0 || !hashPlainBytes(path, size, buffer.size() - pathBegin, hash))
        return false;
    end = pathBegin + size;
    return true;
}

// The plain form of a normalized key path (lower-cased, separators written "\\"), or nothing when
// the path holds a character Wine would escape: then only lines that are not plain can match it.
std::optional<QByteArray> plainPath(QStringView path) {
    QByteArray plain;
    plain.reserve(path.size() + 8);
    for (const QChar c : path) {
        const char16_t unit = c.unicode();
        if (unit == u'\\') {
            plain += "\\\\";
            continue;
        }
        if (unit < 0x20 || unit >= 0x80 || unit == u'[' || unit == u']')
            return std::nullopt;
        plain += lowerAscii(static_cast<char>(unit));
    }
    return plain;
}

// The length of the parent of a plain path of the given length: up to its last "\\\\"; 0 at the top.
qsizetype parentLength(const char* path, qsizetype length) {
    for (qsizetype i = length - 1; i > 0; --i)
        if (path[i] == '\\')
            return i - 1; // the second of the pair
    return 0;
}

} // namespace

RegistryFileIndex::~RegistryFileIndex() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_mapping)
        ::munmap(m_mapping, m_mappingSize);
}

template <typename Visit> bool RegistryFileIndex::forEachKeyLine(Visit&& visit) const {
    // Whole lines at a time through one small reused buffer, so that the file costs about what `cat`
    // costs.
    QByteArray buffer(1 << 17, Qt::Uninitialized);
    qint64 bufferOffset = 0; // file offset of buffer[0]
    qsizetype filled = 0;
    bool atEnd = false;
    while (!atEnd || filled > 0) {
        if (!atEnd) {
            if (filled == buffer.size())
                buffer.resize(buffer.size() * 2); // a line longer than the buffer
            const ssize_t n =
                ::pread(m_fd, buffer.data() + filled, static_cast<size_t>(buffer.size() - filled),
                        static_cast<off_t>(bufferOffset + filled));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            atEnd = n == 0;
            filled += n;
        }
        const QByteArrayView data(buffer.constData(), filled);
        qsizetype limit = filled;
        if (!atEnd) {
            const qsizetype lastNewline = data.lastIndexOf('\n');
            if (lastNewline < 0)
                continue; // read on until the line ends
            limit = lastNewline + 1;
        }
        // [0, limit) holds whole lines and starts at a line's start.
        const char* const bytes = data.data();
        qsizetype from = 0;
        while (from < limit) {
            const void* hit = std::memchr(bytes + from, '[', static_cast<size_t>(limit - from));
            if (!hit)
                break;
            const qsizetype bracket = static_cast<const char*>(hit) - bytes;
            qsizetype lineStart = bracket;
            while (lineStart > 0 && isBlank(bytes[lineStart - 1]))
                --lineStart;
            if (lineStart > 0 && bytes[lineStart - 1] != '\n') {
                from = bracket + 1; // a '[' inside a value line
                continue;
            }
            const qsizetype stop = lineEnd(data.first(limit), bracket);
            visit(QByteArrayView(bytes + lineStart, stop - lineStart), bufferOffset + lineStart,
                  qsizetype(limit - lineStart));
            from = stop + 1;
        }
        std::memmove(buffer.data(), bytes + limit, static_cast<size_t>(filled - limit));
        bufferOffset += limit;
        filled -= limit;
    }
    return true;
}

std::shared_ptr<const RegistryFileIndex> RegistryFileIndex::read(const QString& path) {
    auto index = std::make_shared<RegistryFileIndex>();
    index->m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (index->m_fd < 0 || ::fstat(index->m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    index->m_state = {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    index->m_size = st.st_size;
    QByteArray head;
    if (!index->readRange(0, std::min<qint64>(st.st_size, 64), head))
        return nullptr;
    index->m_isRegistry = hasValidHeader(head);
    const bool storable = st.st_size >= kStoredMinimumBytes;
    if (index->m_isRegistry && storable && index->loadStored(path))
        return index;
    if (!index->m_isRegistry) {
        index->m_steady = true;
        return index;
    }
    std::vector<Entry>& entries = index->m_ownedEntries;
    // About one key line in 200 bytes; room that is never written costs nothing.
    entries.reserve(static_cast<std::size_t>(st.st_size / 64));
    const bool read = index->forEachKeyLine([&](QByteArrayView line, qint64 offset, qsizetype readable) {
        Entry entry;
        entry.begin = offset;
        const qsizetype bracket = line.indexOf('[');
        qsizetype pathEnd = 0;
        entry.plain = hashPlainKeyLine(QByteArrayView(line.data(), readable), bracket + 1, line.size(),
                                       entry.hash, pathEnd);
        if (!entry.plain) {
            KeySection probe;
            probe.pathBegin = bracket + 1;
            SectionScanner(line).decodePath(probe);
            if (probe.valid)
                index->m_irregular.emplace_back(static_cast<qint32>(entries.size()), nameKey(probe.path));
        }
        entries.push_back(entry);
    });
    if (!read)
        return nullptr;
    struct stat after {};
    index->m_steady =
        ::stat(QFile::encodeName(path).constData(), &after) == 0 &&
        FileState{after.st_dev, after.st_ino, after.st_size, after.st_mtim, after.st_ctim} == index->m_state;

    std::size_t slotCount = 16;
    while (slotCount < 2 * entries.size())
        slotCount *= 2;
    std::vector<qint32>& table = index->m_ownedSlots;
    table.assign(slotCount, -1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].plain)
            continue;
        std::size_t slot = entries[i].hash & (slotCount - 1);
        while (table[slot] >= 0)
            slot = (slot + 1) & (slotCount - 1);
        table[slot] = static_cast<qint32>(i);
    }
    index->m_entries = entries;
    index->m_slots = table;
    if (index->m_steady && storable)
        index->store(path);
    return index;
}

bool RegistryFileIndex::readRange(qint64 begin, qint64 end, QByteArray& out) const {
    if (begin < 0 || end < begin || end > m_size)
        return false; // only a damaged stored index points there
    out.resize(end - begin);
    qsizetype done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(m_fd, out.data() + done, static_cast<size_t>(out.size() - done),
                                  static_cast<off_t>(begin + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // an error, or the file was cut short in place
        done += n;
    }
    return true;
}

bool RegistryFileIndex::key(QStringView keyPath, Key& out) const {
    out = Key();
    const QString target = splitKeyPath(keyPath).join(QLatin1Char('\\'));
    if (target.isEmpty())
        return true;
    QList<qsizetype> found;
    quint64 hash = 0;
    if (const auto plain = plainPath(target);
        plain && !m_slots.empty() && hashPlainBytes(plain->constData(), plain->size(), plain->size(), hash)) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = hash & mask;
        // Bounded and checked: a stored index could have been damaged on disk.
        for (std::size_t probe = 0; probe < m_slots.size() && m_slots[slot] >= 0; ++probe) {
            const auto i = static_cast<std::size_t>(m_slots[slot]);
            if (i < m_entries.size() && m_entries[i].hash == hash)
                found.append(m_slots[slot]);
            slot = (slot + 1) & mask;
        }
    }
    // Lines written in another way (escapes, non-ASCII names) are few; they were decoded.
    const QString lowerTarget = nameKey(target);
    for (const auto& [i, path] : m_irregular)
        if (path == lowerTarget)
            found.append(i);
    std::sort(found.begin(), found.end()); // file order
    for (const qsizetype i : found) {
        QByteArray text;
        if (!readRange(m_entries[static_cast<std::size_t>(i)].begin, endOf(static_cast<std::size_t>(i)),
                       text))
            return false;
        const qsizetype at = out.bytes.size();
        out.bytes += text;
        KeySection section;
        const QByteArrayView bytes(out.bytes);
        SectionScanner scanner(bytes.sliced(at));
        if (!scanner.next(section))
            continue;
        if (!section.valid || !namesEqual(section.path, target))
            continue; // another path with the same hash
        section.begin += at;
        section.pathBegin += at;
        section.rawPathEnd += at;
        section.headerEnd += at;
        section.end = out.bytes.size();
        out.sections.append(section);
    }
    return true;
}

bool RegistryFileIndex::hasSubkeys(QStringView keyPath) const {
    const QString target = splitKeyPath(keyPath).join(QLatin1Char('\\'));
    if (target.isEmpty())
        return false;
    const QString lowerTarget = nameKey(target) + QLatin1Char('\\');
    for (const auto& entry : m_irregular)
        if (entry.second.startsWith(lowerTarget))
            return true;
    const auto plain = plainPath(target);
    if (!plain)
        return false;
    quint64 hash = 0;
    hashPlainBytes(plain->constData(), plain->size(), plain->size(), hash);
    qint32 below = -1;
    {
        QMutexLocker lock(&m_ancestorsMutex);
        if (!m_ancestorsFound)
            m_ancestorsFound = findAncestors();
        below = m_ancestorsFound ? m_ancestors.value(hash, -1) : -2;
    }
    if (below == -1)
        return false;
    // Confirm with the line that was found below it; only a clash of hashes reads the file again.
    const auto at = static_cast<std::size_t>(below);
    QByteArray text;
    KeySection found;
    if (below >= 0 && readRange(m_entries[at].begin, endOf(at), text) && SectionScanner(text).next(found) &&
        found.valid && nameKey(found.path).startsWith(lowerTarget))
        return true;
    const QByteArray prefix = *plain + "\\\\";
    bool anyBelow = false;
    forEachKeyLine([&](QByteArrayView line, qint64, qsizetype) {
        if (anyBelow)
            return;
        const qsizetype bracket = line.indexOf('[');
        const QByteArrayView path = line.sliced(bracket + 1);
        if (path.size() <= prefix.size())
            return;
        for (qsizetype k = 0; k < prefix.size(); ++k)
            if (lowerAscii(path[k]) != prefix[k])
                return;
        KeySection section;
        section.pathBegin = bracket + 1;
        SectionScanner(line).decodePath(section);
        anyBelow = section.valid && nameKey(section.path).startsWith(lowerTarget);
    });
    return anyBelow;
}

bool RegistryFileIndex::findAncestors() const {
    m_ancestors.clear();
    // Wine writes subkeys right after their key, so most lines share the previous line's parent and
    // cost one comparison; a new parent is added with its ancestors up to the first one known.
    std::string previousParent;
    qint32 line = -1;
    return forEachKeyLine([&](QByteArrayView text, qint64, qsizetype readable) {
        ++line;
        if (static_cast<std::size_t>(line) >= m_entries.size() ||
            !m_entries[static_cast<std::size_t>(line)].plain)
            return;
        const qsizetype bracket = text.indexOf('[');
        const char* const path = text.data() + bracket + 1;
        const void* close = std::memchr(path, ']', static_cast<size_t>(text.size() - bracket - 1));
        if (!close)
            return;
        const qsizetype parent = parentLength(path, static_cast<const char*>(close) - path);
        if (parent == 0 || std::string_view(path, static_cast<size_t>(parent)) == previousParent)
            return;
        previousParent.assign(path, static_cast<size_t>(parent));
        for (qsizetype length = parent; length > 0; length = parentLength(path, length)) {
            quint64 hash = 0;
            hashPlainBytes(path, length, readable - bracket - 1, hash);
            if (m_ancestors.contains(hash))
                break;
            m_ancestors.insert(hash, line);
        }
    });
}

std::shared_ptr<const RegistryFileIndex> RegistryFileCache::index(const QString& path) {
    State& state = *m_state;
    {
        QMutexLocker lock(&state.mutex);
        if (state.holds > 0 && state.checkedWhileHeld.contains(path))
            if (const auto it = state.files.constFind(path); it != state.files.cend())
                return *it;
    }
    FileState now;
    const bool known = fileState(QFile::encodeName(path), now);
    {
        QMutexLocker lock(&state.mutex);
        const auto it = state.files.constFind(path);
        if (known && it != state.files.cend() && (*it)->state() == now) {
            if (state.holds > 0)
                state.checkedWhileHeld.insert(path);
            return *it;
        }
    }
    auto index = RegistryFileIndex::read(path);
    QMutexLocker lock(&state.mutex);
    if (index && index->isSteady()) {
        state.files.insert(path, index);
        if (state.holds > 0)
            state.checkedWhileHeld.insert(path);
    } else {
        state.files.remove(path);
    }
    return index;
}

std::shared_ptr<void> RegistryFileCache::holdContents() {
    return holdContentsOf(m_state, [](State& state) { state.checkedWhileHeld.clear(); });
}

} // namespace sw::winereg
