// Storing the index of a large registry file in the user's cache folder, so that a new process
// maps it instead of reading a 20 MB file to find a few keys. A stored index describes one version
// of one file: its path, device, inode, size and both times must all match, and its tables their
// checksum, otherwise it is rebuilt.
#include "platform/wine/registry_file_index.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <sys/mman.h>
#include <unistd.h>

namespace sw::winereg {

namespace {

constexpr char kMagic[8] = {'S', 'W', 'R', 'I', 'D', 'X', 0, 2};
// Older indexes beyond this many are removed when a new one is stored.
constexpr int kKeptIndexes = 16;

struct StoredHeader {
    char magic[8];
    quint32 entrySize;
    quint32 pathBytes;
    quint64 dev;
    quint64 ino;
    qint64 size;
    qint64 mtimeSec;
    qint64 mtimeNsec;
    qint64 ctimeSec;
    qint64 ctimeNsec;
    quint64 entryCount;
    quint64 slotCount;
    quint64 irregularCount;
    quint64 checksum; // of everything after the header
};

// A checksum of the tables, fast enough to check on every load of a 2 MB index: four lanes of
// 64-bit words, each step a bijection of its lane, so any one changed word changes the sum.
class TablesChecksum {
public:
    void add(QByteArrayView bytes) {
        for (const char c : bytes) {
            m_block[m_filled++] = c;
            if (m_filled == sizeof m_block)
                mixBlock();
        }
    }
    // The fast path for the large tables: whole blocks straight from memory.
    void addAligned(QByteArrayView bytes) {
        std::size_t at = 0;
        while (m_filled != 0 && at < std::size_t(bytes.size()))
            add(bytes.sliced(qsizetype(at++), 1));
        for (; at + sizeof m_block <= std::size_t(bytes.size()); at += sizeof m_block) {
            std::memcpy(m_block, bytes.data() + at, sizeof m_block);
            m_filled = sizeof m_block;
            mixBlock();
        }
        add(bytes.sliced(qsizetype(at)));
    }
    quint64 value() const {
        quint64 sum = m_length * kPrime + m_filled;
        for (std::size_t i = 0; i < m_filled; ++i)
            sum = (sum ^ static_cast<unsigned char>(m_block[i])) * kPrime;
        for (const quint64 lane : m_lanes)
            sum = mix(sum ^ lane);
        return sum;
    }

private:
    static constexpr quint64 kPrime = 0x9e3779b97f4a7c15ull;
    static quint64 mix(quint64 x) {
        x *= kPrime;
        return x ^ (x >> 31);
    }
    void mixBlock() {
        for (int lane = 0; lane < 4; ++lane) {
            quint64 word;
            std::memcpy(&word, m_block + lane * 8, 8);
            m_lanes[lane] = mix(m_lanes[lane] ^ word);
        }
        m_length += sizeof m_block;
        m_filled = 0;
    }
    quint64 m_lanes[4] = {1, 2, 3, 4};
    quint64 m_length = 0;
    char m_block[32] = {};
    std::size_t m_filled = 0;
};

constexpr std::size_t roundUp8(std::size_t n) {
    return (n + 7) & ~std::size_t(7);
}

StoredHeader headerFor(const FileState& state) {
    StoredHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.dev = state.dev;
    header.ino = state.ino;
    header.size = state.size;
    header.mtimeSec = state.mtime.tv_sec;
    header.mtimeNsec = state.mtime.tv_nsec;
    header.ctimeSec = state.ctime.tv_sec;
    header.ctimeNsec = state.ctime.tv_nsec;
    return header;
}

// A stable name for a registry file's path (qHash is seeded per process).
QString storeFileName(const QByteArray& path) {
    quint64 hash = 0xcbf29ce484222325ull;
    for (const char c : path)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return QString::number(hash, 16).rightJustified(16, QLatin1Char('0')) + QStringLiteral(".index");
}

void removeOldest(const QString& folder) {
    QFileInfoList stored =
        QDir(folder).entryInfoList({QStringLiteral("*.index")}, QDir::Files, QDir::Time | QDir::Reversed);
    for (qsizetype i = 0; i + kKeptIndexes < stored.size(); ++i)
        QFile::remove(stored.at(i).absoluteFilePath());
}

} // namespace

QString RegistryFileIndex::storeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/startwarden/registry-index");
}

bool RegistryFileIndex::loadStored(const QString& path) {
    const QByteArray absolute = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const QByteArray storePath =
        QFile::encodeName(storeFolder() + QLatin1Char('/') + storeFileName(absolute));
    const int fd = ::open(storePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                       st.st_size >= static_cast<off_t>(sizeof(StoredHeader));
    // Mapped, not read: only the pages a look-up touches are loaded. The file is only ever replaced
    // by a rename, never cut short in place, so the mapping cannot lose its pages.
    void* mapping =
        sized ? ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (mapping == MAP_FAILED)
        return false;
    const auto size = static_cast<std::size_t>(st.st_size);
    const auto* bytes = static_cast<const char*>(mapping);
    StoredHeader header;
    std::memcpy(&header, bytes, sizeof header);
    const StoredHeader expected = headerFor(m_state);
    // Counts beyond the file's size are refused before they enter any sum.
    const bool sane = std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
                      header.entrySize == sizeof(Entry) && header.dev == expected.dev &&
                      header.ino == expected.ino && header.size == expected.size &&
                      header.mtimeSec == expected.mtimeSec && header.mtimeNsec == expected.mtimeNsec &&
                      header.ctimeSec == expected.ctimeSec && header.ctimeNsec == expected.ctimeNsec &&
                      header.pathBytes == static_cast<quint32>(absolute.size()) && header.entryCount < size &&
                      header.slotCount < size && header.irregularCount < size &&
                      (header.slotCount & (header.slotCount - 1)) == 0;
    // A damaged store whose header still checks out would hide keys: the tables must sum up too.
    TablesChecksum checksum;
    if (sane)
        checksum.addAligned({bytes + sizeof header, qsizetype(size - sizeof header)});
    std::size_t at = sizeof header;
    const auto fits = [&](std::size_t bytesWanted) { return at <= size && bytesWanted <= size - at; };
    bool ok = sane && checksum.value() == header.checksum && fits(header.pathBytes) &&
              std::memcmp(bytes + at, absolute.constData(), header.pathBytes) == 0;
    if (ok) {
        at += roundUp8(header.pathBytes);
        ok = fits(header.entryCount * sizeof(Entry));
    }
    if (ok) {
        m_entries = {reinterpret_cast<const Entry*>(bytes + at), static_cast<std::size_t>(header.entryCount)};
        at += header.entryCount * sizeof(Entry);
        ok = fits(header.slotCount * sizeof(qint32));
    }
    if (ok) {
        m_slots = {reinterpret_cast<const qint32*>(bytes + at), static_cast<std::size_t>(header.slotCount)};
        at += roundUp8(header.slotCount * sizeof(qint32));
        // Each irregular line: its entry number, its path's length, the path's UTF-16 units.
        for (quint64 i = 0; ok && i < header.irregularCount; ++i) {
            qint32 record[2];
            ok = fits(sizeof record);
            if (!ok)
                break;
            std::memcpy(record, bytes + at, sizeof record);
            at += sizeof record;
            const auto units = static_cast<std::size_t>(std::max(record[1], 0));
            ok = record[0] >= 0 && static_cast<quint64>(record[0]) < header.entryCount && fits(units * 2);
            if (ok) {
                QString text(static_cast<qsizetype>(units), Qt::Uninitialized);
                std::memcpy(text.data(), bytes + at, units * 2);
                m_irregular.emplace_back(record[0], std::move(text));
                at += roundUp8(units * 2);
            }
        }
        ok = ok && at == size;
    }
    if (!ok) {
        m_entries = {};
        m_slots = {};
        m_irregular.clear();
        ::munmap(mapping, size);
        return false;
    }
    m_mapping = mapping;
    m_mappingSize = size;
    m_steady = true; // the version that was indexed is the one open now
    return true;
}

void RegistryFileIndex::store(const QString& path) const {
    const QString folder = storeFolder();
    if (!QDir().mkpath(folder))
        return; // a cache only: without it the next process indexes the file again
    const QByteArray absolute = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    StoredHeader header = headerFor(m_state);
    header.entrySize = sizeof(Entry);
    header.pathBytes = static_cast<quint32>(absolute.size());
    header.entryCount = m_entries.size();
    header.slotCount = m_slots.size();
    header.irregularCount = m_irregular.size();
    // The tables go to the file straight from memory: a copy of them would cost a page fault
    // per 4 KiB of a 2 MB index.
    static const char zeros[8] = {};
    const auto padding = [](std::size_t size) { return roundUp8(size) - size; };
    QByteArray irregular;
    for (const auto& [entry, text] : m_irregular) {
        const qint32 record[2] = {entry, static_cast<qint32>(text.size())};
        irregular.append(reinterpret_cast<const char*>(record), sizeof record);
        irregular.append(reinterpret_cast<const char*>(text.constData()), text.size() * 2);
        irregular.append(zeros, static_cast<qsizetype>(padding(static_cast<std::size_t>(text.size()) * 2)));
    }
    const QByteArrayView parts[] = {
        {reinterpret_cast<const char*>(&header), sizeof header},
        absolute,
        {zeros, static_cast<qsizetype>(padding(static_cast<std::size_t>(absolute.size())))},
        {reinterpret_cast<const char*>(m_entries.data()), static_cast<qsizetype>(m_entries.size_bytes())},
        {reinterpret_cast<const char*>(m_slots.data()), static_cast<qsizetype>(m_slots.size_bytes())},
        {zeros, static_cast<qsizetype>(padding(m_slots.size_bytes()))},
        irregular,
    };
    TablesChecksum checksum;
    for (const QByteArrayView part : std::span(parts).subspan(1))
        checksum.addAligned(part);
    header.checksum = checksum.value();
    // Written beside and renamed into place without a sync: a crash leaves at worst a short or
    // empty file, which the header and size checks refuse.
    const QByteArray target = QFile::encodeName(folder + QLatin1Char('/') + storeFileName(absolute));
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return;
    bool written = true;
    for (const QByteArrayView part : parts)
        written = written && writeAll(fd, part);
    if (::close(fd) == 0 && written && ::rename(temporary.constData(), target.constData()) == 0)
        removeOldest(folder);
    else
        ::unlink(temporary.constData());
}

} // namespace sw::winereg
