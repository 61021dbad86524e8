// Indexing a whole registry file by key path: one pass that jumps from '[' to '[' and hashes the
// key lines, so that the value lines in between are never looked at.
#include "platform/wine/registry_file_index.h"

#include "platform/wine/registry_text_internal.h"

#include <QFile>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
#include <optional>

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

// A hash of bytes with ASCII letters lower-cased, eight bytes at a time. Returns false when a byte
// is no printable ASCII or is '[': such a path is not plain.
bool hashPlainBytes(const char* bytes, qsizetype size, quint64& hash) {
    quint64 h = 0x9e3779b97f4a7c15ull ^ static_cast<quint64>(size);
    for (qsizetype at = 0; at < size; at += 8) {
        quint64 w = 0;
        const qsizetype n = std::min<qsizetype>(8, size - at);
        std::memcpy(&w, bytes + at, static_cast<size_t>(n));
        const quint64 used = n == 8 ? ~0ull : (1ull << (8 * n)) - 1;
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
    if (size == 0 || !hashPlainBytes(path, size, hash))
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

} // namespace

std::shared_ptr<const RegistryFileIndex> RegistryFileIndex::read(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    auto index = std::make_shared<RegistryFileIndex>();
    if (!fileState(name, index->m_state))
        return nullptr;
    const FileBytes file(path);
    if (!file.ok())
        return nullptr;
    index->m_bytes = file.bytes();
    FileState after;
    index->m_steady =
        fileState(name, after) && after == index->m_state && index->m_bytes.size() == index->m_state.size;
    index->m_isRegistry = hasValidHeader(index->m_bytes);
    if (index->m_isRegistry)
        index->index();
    return index;
}

void RegistryFileIndex::index() {
    const QByteArrayView buffer(m_bytes);
    const char* const data = buffer.data();
    const qsizetype size = buffer.size();
    qsizetype from = 0;
    while (from < size) {
        const void* hit = std::memchr(data + from, '[', static_cast<size_t>(size - from));
        if (!hit)
            break;
        const qsizetype bracket = static_cast<const char*>(hit) - data;
        qsizetype lineStart = bracket;
        while (lineStart > 0 && isBlank(data[lineStart - 1]))
            --lineStart;
        if (lineStart > 0 && data[lineStart - 1] != '\n') {
            from = bracket + 1; // a '[' inside a value line
            continue;
        }
        Entry entry;
        entry.begin = lineStart;
        entry.pathBegin = bracket + 1;
        const qsizetype stop = lineEnd(buffer, entry.pathBegin);
        qsizetype pathEnd = entry.pathBegin;
        entry.plain = hashPlainKeyLine(buffer, entry.pathBegin, stop, entry.hash, pathEnd);
        entry.headerEnd = stop < size ? stop + 1 : stop;
        if (!m_entries.empty())
            m_entries.back().end = entry.begin;
        if (!entry.plain)
            m_irregular.push_back(static_cast<qint32>(m_entries.size()));
        m_entries.push_back(entry);
        from = entry.headerEnd;
    }
    if (!m_entries.empty())
        m_entries.back().end = size;

    std::size_t slotCount = 16;
    while (slotCount < 2 * m_entries.size())
        slotCount *= 2;
    m_slots.assign(slotCount, -1);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].plain)
            continue;
        std::size_t slot = m_entries[i].hash & (slotCount - 1);
        while (m_slots[slot] >= 0)
            slot = (slot + 1) & (slotCount - 1);
        m_slots[slot] = static_cast<qint32>(i);
    }
}

KeySection RegistryFileIndex::sectionAt(qsizetype i) const {
    const Entry& entry = m_entries[static_cast<std::size_t>(i)];
    KeySection section;
    section.begin = entry.begin;
    section.pathBegin = entry.pathBegin;
    section.headerEnd = entry.headerEnd;
    section.end = entry.end;
    SectionScanner(m_bytes).decodePath(section);
    return section;
}

QList<KeySection> RegistryFileIndex::sections(QStringView keyPath) const {
    const QString target = splitKeyPath(keyPath).join(QLatin1Char('\\'));
    if (target.isEmpty())
        return {};
    QList<qsizetype> found;
    quint64 hash = 0;
    if (const auto plain = plainPath(target);
        plain && !m_slots.empty() && hashPlainBytes(plain->constData(), plain->size(), hash)) {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = hash & mask; m_slots[slot] >= 0; slot = (slot + 1) & mask)
            if (m_entries[static_cast<std::size_t>(m_slots[slot])].hash == hash)
                found.append(m_slots[slot]);
    }
    // Lines written in another way (escapes, non-ASCII names) are few; they are decoded.
    const QString lowerTarget = nameKey(target);
    const SectionScanner scanner(m_bytes);
    for (const qint32 i : m_irregular) {
        KeySection probe;
        probe.pathBegin = m_entries[static_cast<std::size_t>(i)].pathBegin;
        if (scanner.matchesPath(probe, lowerTarget))
            found.append(i);
    }
    std::sort(found.begin(), found.end()); // file order
    QList<KeySection> sections;
    for (const qsizetype i : found) {
        KeySection section = sectionAt(i);
        if (section.valid && namesEqual(section.path, target))
            sections.append(section);
    }
    return sections;
}

bool RegistryFileIndex::hasSubkeys(QStringView keyPath) const {
    // Rarely asked (a key without values of its own), so a walk over the key lines, comparing the
    // bytes of plain lines as they stand: most differ from the target within a few characters.
    const QString target = splitKeyPath(keyPath).join(QLatin1Char('\\'));
    if (target.isEmpty())
        return false;
    const qsizetype depth = splitKeyPath(target).size();
    const auto below = [&](qsizetype i) {
        const KeySection section = sectionAt(i);
        return section.valid && splitKeyPath(section.path).size() > depth &&
               namesEqual(QStringView(section.path).first(target.size()), target);
    };
    if (const auto plain = plainPath(target)) {
        const QByteArray prefix = *plain + "\\\\";
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const Entry& entry = m_entries[i];
            if (!entry.plain || entry.headerEnd - entry.pathBegin <= prefix.size())
                continue;
            const char* line = m_bytes.constData() + entry.pathBegin;
            qsizetype k = 0;
            while (k < prefix.size() && lowerAscii(line[k]) == prefix[k])
                ++k;
            if (k == prefix.size() && below(static_cast<qsizetype>(i)))
                return true;
        }
    }
    const QString lowerTarget = nameKey(target);
    const SectionScanner scanner(m_bytes);
    for (const qint32 i : m_irregular) {
        KeySection probe;
        probe.pathBegin = m_entries[static_cast<std::size_t>(i)].pathBegin;
        if (scanner.matchesPath(probe, lowerTarget, true) && below(i))
            return true;
    }
    return false;
}

std::shared_ptr<const RegistryFileIndex> RegistryFileCache::index(const QString& path) {
    FileState now;
    const bool known = fileState(QFile::encodeName(path), now);
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_files.constFind(path);
        if (known && it != m_files.cend() && (*it)->state() == now)
            return *it;
    }
    auto index = RegistryFileIndex::read(path);
    QMutexLocker lock(&m_mutex);
    if (index && index->isSteady())
        m_files.insert(path, index);
    else
        m_files.remove(path);
    return index;
}

} // namespace sw::winereg
