#include "platform/wine/shell_link_idlist.h"

#include "platform/wine/shell_link_format.h"

#include <QStringList>

namespace sw::lnk {

namespace {

constexpr std::uint8_t kRootType = 0x1F;
constexpr std::uint8_t kDriveType = 0x2F;
constexpr std::uint8_t kFolderType = 0x31;
constexpr std::uint8_t kFileType = 0x32;
constexpr std::uint8_t kUnicodeNameFlag = 0x04;
constexpr int kFileNameOffset = 14;

// Offset of the long name in the 0xBEEF0004 block by version. Wine writes version 0 with a zero
// signature in the XP layout.
int longNameOffset(std::uint16_t version) {
    switch (version) {
    case 0:
    case 3:
        return 20;
    case 7:
        return 38;
    case 8:
        return 42;
    case 9:
        return 46;
    default:
        return -1;
    }
}

std::optional<QString> extensionLongName(ByteView item) {
    const auto offset = item.u16(item.size() - 2);
    if (!offset || *offset % 2 != 0 || *offset < kFileNameOffset || *offset > item.size() - 10) {
        return std::nullopt;
    }
    const auto blockSize = item.u16(*offset);
    const auto version = item.u16(*offset + 2);
    const auto signature = item.u32(*offset + 4);
    if (!blockSize || !version || !signature) {
        return std::nullopt;
    }
    if (*signature != kBeef0004 && !(*signature == 0 && *version == 0)) {
        return std::nullopt;
    }
    const auto block = item.sub(*offset, *blockSize);
    const int nameAt = longNameOffset(*version);
    if (!block || nameAt < 0 || nameAt >= block->size()) {
        return std::nullopt;
    }
    auto name = block->utf16Z(nameAt);
    if (!name || name->isEmpty()) {
        return std::nullopt;
    }
    return name;
}

std::optional<QString> fileEntryName(ByteView item, std::uint8_t type) {
    if (auto longName = extensionLongName(item)) {
        return longName;
    }
    const auto primary =
        (type & kUnicodeNameFlag) ? item.utf16Z(kFileNameOffset) : item.ansiZ(kFileNameOffset);
    if (!primary || primary->isEmpty()) {
        return std::nullopt;
    }
    return primary;
}

} // namespace

QString decodeIdList(ByteView list) {
    QString path;
    int index = 0;
    qsizetype pos = 0;
    // Every item moves pos forward by at least 3 bytes, so the walk ends within the list.
    while (true) {
        const auto size = list.u16(pos);
        if (!size) {
            return {}; // no terminator
        }
        if (*size == 0) {
            break;
        }
        const auto item = list.sub(pos, *size);
        if (*size < 3 || !item) {
            return {};
        }
        const std::uint8_t type = *item->u8(2);
        if (index == 0) {
            const auto clsid = item->sub(4, 16);
            if (type != kRootType || !clsid || clsid->bytes() != kMyComputerClsid) {
                return {};
            }
        } else if (index == 1) {
            const auto drive = item->ansiZ(3);
            if ((type & 0x70) != 0x20 || !drive || drive->size() < 2 || (*drive)[1] != u':') {
                return {};
            }
            path = *drive;
            if (!path.endsWith(u'\\')) {
                path += u'\\';
            }
        } else {
            const auto name = (type & 0x70) == 0x30 ? fileEntryName(*item, type) : std::nullopt;
            if (!name) {
                return {};
            }
            if (!path.endsWith(u'\\')) {
                path += u'\\';
            }
            path += *name;
        }
        ++index;
        pos += *size;
    }
    return index >= 2 ? path : QString();
}

namespace {

void appendU16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

QByteArray fileEntry(const QString& name, bool isFolder) {
    QByteArray primary = encodeAnsi(name);
    primary.append('\0');
    if (primary.size() % 2 != 0) {
        primary.append('\0');
    }
    const QByteArray unicode = encodeUtf16(name) + QByteArray(2, '\0');
    const auto blockOffset = static_cast<std::uint16_t>(kFileNameOffset + primary.size());
    const auto blockSize = static_cast<std::uint16_t>(20 + unicode.size() + 2);

    QByteArray item;
    appendU16(item, static_cast<std::uint16_t>(blockOffset + blockSize));
    item.append(static_cast<char>(isFolder ? kFolderType : kFileType));
    item.append(QByteArray(9, '\0')); // pad, file size, FAT date and time: unknown
    appendU16(item, isFolder ? 0x10 : 0x20);
    item.append(primary);
    appendU16(item, blockSize);
    appendU16(item, 3); // XP layout
    appendU16(item, kBeef0004 & 0xFFFF);
    appendU16(item, kBeef0004 >> 16);
    item.append(QByteArray(8, '\0')); // creation and access FAT times
    appendU16(item, 0x14);
    appendU16(item, 0); // no localized name
    item.append(unicode);
    appendU16(item, blockOffset);
    return item;
}

} // namespace

QByteArray buildIdList(const QString& drivePath) {
    QByteArray list;
    appendU16(list, 20);
    list.append(static_cast<char>(kRootType));
    list.append('\x50'); // sort index Windows gives My Computer
    list.append(kMyComputerClsid);

    QByteArray drive = encodeAnsi(drivePath.left(2) + u'\\');
    drive.resize(22, '\0');
    appendU16(list, 25);
    list.append(static_cast<char>(kDriveType));
    list.append(drive);

    const QStringList parts = drivePath.mid(3).split(u'\\', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        list.append(fileEntry(parts[i], i + 1 < parts.size()));
    }
    appendU16(list, 0);
    return list;
}

} // namespace sw::lnk
