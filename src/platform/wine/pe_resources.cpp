#include "platform/wine/pe_resources.h"

#include "platform/wine/pe_bytes.h"

#include <QSet>

#include <algorithm>

namespace sw {

using namespace pe;

namespace {

constexpr quint32 kHighBit = 0x80000000u;
// Bounds on what a hostile file can make us do; real files stay far below them.
constexpr quint32 kMaxResourceSize = 16u * 1024 * 1024;
constexpr qsizetype kMaxResources = 65536;
constexpr quint16 kUsEnglish = 0x409;

struct TreeWalk {
    const QByteArray& file;
    quint64 base;  // file offset of the root directory
    quint64 limit; // bytes of the resource directory that lie in the file
    QSet<quint64> visited;
};

} // namespace

PeResources::PeResources(const QByteArray& file) : m_file(file) {
    if (readHeaders())
        readTree();
}

bool PeResources::readHeaders() {
    if (!inRange(m_file, 0, 0x40) || m_file[0] != 'M' || m_file[1] != 'Z')
        return false;
    const quint64 peOffset = u32(m_file, 0x3C);
    if (!inRange(m_file, peOffset, 24) || u32(m_file, peOffset) != 0x00004550)
        return false;
    const quint64 coff = peOffset + 4;
    const quint16 sectionCount = u16(m_file, coff + 2);
    const quint16 optionalSize = u16(m_file, coff + 16);
    const quint64 optional = peOffset + 24;
    const quint16 magic = u16(m_file, optional);
    quint64 countOffset = 0;
    if (magic == 0x10B)
        countOffset = 92;
    else if (magic == 0x20B)
        countOffset = 108;
    else
        return false;
    m_magic = magic;

    const quint64 sectionTable = optional + optionalSize;
    for (quint16 i = 0; i < sectionCount; ++i) {
        const quint64 at = sectionTable + 40ull * i;
        if (!inRange(m_file, at, 40))
            break;
        m_sections.append(
            {u32(m_file, at + 12), u32(m_file, at + 8), u32(m_file, at + 16), u32(m_file, at + 20)});
    }

    // The resource table is data directory 2; it must lie inside the optional header as declared.
    const quint64 resourceEntry = countOffset + 4 + 2 * 8;
    if (optionalSize < resourceEntry + 8 || !inRange(m_file, optional, resourceEntry + 8) ||
        u32(m_file, optional + countOffset) <= 2)
        return true;
    m_resourceRva = u32(m_file, optional + resourceEntry);
    m_resourceSize = u32(m_file, optional + resourceEntry + 4);
    return true;
}

std::optional<quint64> PeResources::fileOffset(quint32 rva, quint64* available) const {
    for (const Section& section : m_sections) {
        const quint64 extent = std::max(section.virtualSize, section.rawSize);
        if (rva < section.virtualAddress || rva - section.virtualAddress >= extent)
            continue;
        const quint64 delta = rva - section.virtualAddress;
        if (delta >= section.rawSize) // zero fill, not in the file
            return std::nullopt;
        const quint64 offset = quint64{section.rawOffset} + delta;
        const auto fileSize = static_cast<quint64>(m_file.size());
        if (offset >= fileSize)
            return std::nullopt;
        *available = std::min<quint64>(section.rawSize - delta, fileSize - offset);
        return offset;
    }
    return std::nullopt;
}

namespace {

std::optional<PeResourceName> entryName(const TreeWalk& walk, quint32 raw) {
    if (!(raw & kHighBit))
        return PeResourceName{static_cast<quint16>(raw), {}, false};
    const quint64 at = raw & ~kHighBit;
    if (at + 2 > walk.limit)
        return std::nullopt;
    const quint16 length = u16(walk.file, walk.base + at);
    if (at + 2 + 2ull * length > walk.limit)
        return std::nullopt;
    return PeResourceName{0, utf16(walk.file, walk.base + at + 2, length), true};
}

} // namespace

void PeResources::readTree() {
    quint64 available = 0;
    const auto base = fileOffset(m_resourceRva, &available);
    if (m_resourceRva == 0 || !base)
        return;
    TreeWalk walk{m_file, *base, std::min<quint64>(available, m_resourceSize), {}};

    PeResource current;
    // Levels: 1 type, 2 name, 3 language. Leaves only at level 3, directories only above it; a
    // directory is entered at most once, which stops loops and blow-ups through shared subtrees.
    auto visit = [&](auto& self, quint64 directory, int level) -> void {
        if (walk.visited.contains(directory) || directory + 16 > walk.limit)
            return;
        walk.visited.insert(directory);
        const quint64 count =
            quint64{u16(m_file, walk.base + directory + 12)} + u16(m_file, walk.base + directory + 14);
        for (quint64 i = 0; i < count && m_resources.size() < kMaxResources; ++i) {
            const quint64 entry = directory + 16 + 8 * i;
            if (entry + 8 > walk.limit)
                return;
            const auto name = entryName(walk, u32(m_file, walk.base + entry));
            const quint32 target = u32(m_file, walk.base + entry + 4);
            if (!name)
                continue;
            if (level < 3) {
                if (!(target & kHighBit))
                    continue;
                (level == 1 ? current.type : current.name) = *name;
                self(self, target & ~kHighBit, level + 1);
                continue;
            }
            if ((target & kHighBit) || name->isNamed() || quint64{target} + 16 > walk.limit)
                continue;
            const quint32 size = u32(m_file, walk.base + target + 4);
            quint64 dataAvailable = 0;
            const auto data = fileOffset(u32(m_file, walk.base + target), &dataAvailable);
            if (!data || size > kMaxResourceSize || size > dataAvailable)
                continue;
            current.language = name->id;
            current.fileOffset = static_cast<quint32>(*data);
            current.size = size;
            m_resources.append(current);
        }
    };
    visit(visit, 0, 1);
}

QByteArray PeResources::data(const PeResource& resource) const {
    if (!inRange(m_file, resource.fileOffset, resource.size))
        return {};
    return m_file.mid(resource.fileOffset, resource.size);
}

std::optional<PeResourceName> PeResources::firstName(quint16 type) const {
    for (const PeResource& resource : m_resources) {
        if (resource.type.is(type))
            return resource.name;
    }
    return std::nullopt;
}

std::optional<PeResource> PeResources::find(quint16 type, const PeResourceName& name,
                                            quint16 language) const {
    std::optional<PeResource> first, neutral, english;
    for (const PeResource& resource : m_resources) {
        if (!resource.type.is(type) || resource.name != name)
            continue;
        if (resource.language == language)
            return resource;
        if (!first)
            first = resource;
        if (resource.language == 0 && !neutral)
            neutral = resource;
        if (resource.language == kUsEnglish && !english)
            english = resource;
    }
    return neutral ? neutral : english ? english : first;
}

} // namespace sw
