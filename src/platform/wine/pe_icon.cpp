#include "platform/wine/pe_icon.h"

#include "platform/wine/pe_bytes.h"
#include "platform/wine/pe_resources.h"

#include <QBuffer>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <QtEndian>

#include <algorithm>

namespace sw {

using namespace pe;

namespace {

constexpr quint64 kDirSize = 6;
constexpr quint64 kGroupEntrySize = 14;
constexpr quint64 kIcoEntrySize = 16;
// Icons are at most 256 pixels; allow some slack before refusing to decode an image.
constexpr quint32 kMaxSide = 1024;
const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

struct IcoEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    QByteArray header; // the first 12 bytes of the directory entry
    QByteArray data;
};

void appendU16(QByteArray& out, quint16 value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void appendU32(QByteArray& out, quint32 value) {
    appendU16(out, static_cast<quint16>(value & 0xFFFF));
    appendU16(out, static_cast<quint16>(value >> 16));
}

QByteArray buildIco(const QList<IcoEntry>& entries) {
    QByteArray out;
    appendU16(out, 0);
    appendU16(out, 1);
    appendU16(out, static_cast<quint16>(entries.size()));
    auto offset = static_cast<quint32>(kDirSize + kIcoEntrySize * entries.size());
    for (const IcoEntry& entry : entries) {
        out.append(entry.header.left(8));
        appendU32(out, static_cast<quint32>(entry.data.size())); // the real size, not the group's
        appendU32(out, offset);
        offset += static_cast<quint32>(entry.data.size());
    }
    for (const IcoEntry& entry : entries)
        out.append(entry.data);
    return out;
}

// The entries of an .ico file whose image lies inside it.
QList<IcoEntry> parseIco(const QByteArray& ico) {
    QList<IcoEntry> entries;
    if (u16(ico, 0) != 0 || u16(ico, 2) != 1)
        return entries;
    const quint16 count = u16(ico, 4);
    for (quint64 i = 0; i < count; ++i) {
        const quint64 at = kDirSize + kIcoEntrySize * i;
        if (!inRange(ico, at, kIcoEntrySize))
            break;
        const quint32 size = u32(ico, at + 8);
        const quint32 offset = u32(ico, at + 12);
        if (!inRange(ico, offset, size))
            continue;
        IcoEntry entry;
        entry.width = u8(ico, at) ? u8(ico, at) : 256;
        entry.height = u8(ico, at + 1) ? u8(ico, at + 1) : 256;
        entry.header = ico.mid(static_cast<qsizetype>(at), 12);
        entry.data = ico.mid(offset, size);
        // The image's own header is the truth about its depth; directories often say 0.
        entry.bitCount = entry.data.startsWith(kPngSignature) ? 32 : u16(entry.data, 14);
        entries.append(entry);
    }
    return entries;
}

// Refuses images whose own header claims sizes no icon has, before a decoder allocates for them.
bool plausibleImage(const QByteArray& data) {
    if (data.startsWith(kPngSignature))
        return u32(data, 12) == 0x52444849 /* "IHDR" */ &&
               qFromBigEndian<quint32>(u32(data, 16)) <= kMaxSide &&
               qFromBigEndian<quint32>(u32(data, 20)) <= kMaxSide;
    const auto width = static_cast<qint32>(u32(data, 4));
    const auto height = static_cast<qint32>(u32(data, 8));
    return u32(data, 0) >= 40 && width > 0 && static_cast<quint32>(width) <= kMaxSide && height != 0 &&
           static_cast<quint32>(height < 0 ? -static_cast<qint64>(height) : height) <= 2 * kMaxSide;
}

QImage decode(const IcoEntry& entry) {
    if (!plausibleImage(entry.data))
        return {};
    if (entry.data.startsWith(kPngSignature))
        return QImage::fromData(entry.data, "PNG");
    QByteArray single = buildIco({entry});
    QBuffer buffer(&single);
    QImageReader reader(&buffer, "ico"); // canRead() is false for ico even when read() works
    return reader.read();
}

} // namespace

QByteArray rebuildFirstIconGroup(const PeResources& pe) {
    const auto groupName = pe.firstName(kResourceGroupIcon);
    if (!groupName)
        return {};
    const auto group = pe.find(kResourceGroupIcon, *groupName);
    const QByteArray dir = group ? pe.data(*group) : QByteArray();
    if (u16(dir, 2) != 1)
        return {};
    QList<IcoEntry> entries;
    const quint16 count = u16(dir, 4);
    for (quint64 i = 0; i < count; ++i) {
        const quint64 at = kDirSize + kGroupEntrySize * i;
        if (!inRange(dir, at, kGroupEntrySize))
            break;
        const auto image =
            pe.find(kResourceIcon, PeResourceName{u16(dir, at + 12), {}, false}, group->language);
        if (!image)
            continue; // a group entry without its image is skipped, not fatal
        entries.append({0, 0, 0, dir.mid(static_cast<qsizetype>(at), 12), pe.data(*image)});
    }
    return entries.isEmpty() ? QByteArray() : buildIco(entries);
}

QImage bestIconImage(const QByteArray& ico, int size) {
    QList<IcoEntry> entries = parseIco(ico);
    auto exact = [size](const IcoEntry& e) { return e.width == size && e.height == size; };
    // Exact sizes first, deepest colour first; then larger ones, smallest first; then the rest.
    std::stable_sort(entries.begin(), entries.end(), [&](const IcoEntry& a, const IcoEntry& b) {
        if (exact(a) != exact(b))
            return exact(a);
        if (exact(a))
            return a.bitCount > b.bitCount;
        const bool aLarger = a.width >= size, bLarger = b.width >= size;
        if (aLarger != bLarger)
            return aLarger;
        return aLarger ? a.width < b.width : a.width > b.width;
    });
    for (const IcoEntry& entry : entries) {
        QImage image = decode(entry);
        if (image.isNull())
            continue;
        if (image.width() != size || image.height() != size)
            image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return image;
    }
    return {};
}

QIcon readIconImage(const QByteArray& fileBytes, int size) {
    const QByteArray ico = rebuildFirstIconGroup(PeResources(fileBytes));
    if (ico.isEmpty())
        return {};
    QIcon icon;
    QList<int> sizes{size};
    for (int standard : {16, 32}) {
        if (standard != size)
            sizes.append(standard);
    }
    for (int side : sizes) {
        if (side <= 0 || side > static_cast<int>(kMaxSide))
            continue;
        const QImage image = bestIconImage(ico, side);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace sw
