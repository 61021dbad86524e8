#include "platform/shortcut_file.h"
#include "platform/wine/shell_link.h"
#include "platform/wine/shell_link_format.h"
#include "platform/wine/shell_link_idlist.h"
#include "platform/wine/shell_link_text.h"

#include <QStringList>

namespace sw {

using namespace lnk;

namespace {

constexpr std::uint32_t kLinkInfoMinHeader = 0x1C;
constexpr std::uint32_t kLinkInfoUnicodeHeader = 0x24;
// Real files hold a handful of extra blocks; this only bounds the work on hostile input.
constexpr int kMaxExtraBlocks = 256;

// A string at an offset inside LinkInfo; offset 0 means absent.
QString linkInfoString(ByteView info, std::optional<std::uint32_t> offset, bool unicode) {
    if (!offset || *offset == 0) {
        return {};
    }
    const auto text = unicode ? info.utf16Z(*offset) : info.ansiZ(*offset);
    return text.value_or(QString());
}

QString networkTarget(ByteView info, std::uint32_t offset, const QString& suffix) {
    const auto size = info.u32(offset);
    const auto link = size ? info.sub(offset, *size) : std::nullopt;
    if (!link || link->size() < 0x14) {
        return {};
    }
    const auto netNameOffset = link->u32(8);
    QString net;
    if (netNameOffset && *netNameOffset > 0x14) {
        net = linkInfoString(*link, link->u32(0x14), true);
    }
    if (net.isEmpty()) {
        net = linkInfoString(*link, netNameOffset, false);
    }
    if (net.isEmpty()) {
        return {};
    }
    if (suffix.isEmpty() || net.endsWith(u'\\')) {
        return net + suffix;
    }
    return net + u'\\' + suffix;
}

// The target LinkInfo names; empty for empty or damaged location information, which Windows
// accepts as well.
QString linkInfoTarget(ByteView info) {
    const auto headerSize = info.u32(4);
    const auto flags = info.u32(8);
    if (!headerSize || !flags || *headerSize < kLinkInfoMinHeader || *headerSize > info.size()) {
        return {};
    }
    const bool unicode = *headerSize >= kLinkInfoUnicodeHeader;
    QString suffix = unicode ? linkInfoString(info, info.u32(32), true) : QString();
    if (suffix.isEmpty()) {
        suffix = linkInfoString(info, info.u32(24), false);
    }
    if (*flags & 1) {
        QString base = unicode ? linkInfoString(info, info.u32(28), true) : QString();
        if (base.isEmpty()) {
            base = linkInfoString(info, info.u32(16), false);
        }
        if (!base.isEmpty()) {
            return base + suffix;
        }
    }
    if (*flags & 2) {
        if (const auto offset = info.u32(20)) {
            return networkTarget(info, *offset, suffix);
        }
    }
    return {};
}

// Reads one StringData entry at pos; false when it runs past the end.
bool readString(ByteView file, qsizetype& pos, bool unicode, QString& out) {
    const auto count = file.u16(pos);
    const qsizetype bytes = count ? qsizetype(*count) * (unicode ? 2 : 1) : 0;
    const auto data = count ? file.sub(pos + 2, bytes) : std::nullopt;
    if (!data) {
        return false;
    }
    out = unicode ? decodeUtf16(data->bytes()) : decodeAnsi(data->bytes());
    // Wine counts and writes the terminating NUL.
    while (out.endsWith(QChar(u'\0'))) {
        out.chop(1);
    }
    pos += 2 + bytes;
    return true;
}

// The path of an environment, icon or installer block: Unicode first, ANSI when that is empty.
QString pathBlockText(ByteView block) {
    if (block.size() < qsizetype(kPathBlockSize)) {
        return {};
    }
    const auto unicode = block.sub(kPathBlockUnicode, 2 * kMaxPath)->utf16Z(0);
    if (unicode && !unicode->isEmpty()) {
        return *unicode;
    }
    return block.sub(kPathBlockAnsi, kMaxPath)->ansiZ(0).value_or(QString());
}

void readExtraData(ByteView file, qsizetype pos, ShellLink& link) {
    for (int i = 0; i < kMaxExtraBlocks; ++i) {
        const auto size = file.u32(pos);
        if (!size) {
            link.damaged = true; // no terminal block
            return;
        }
        if (*size < 4) {
            return; // terminal block
        }
        const auto block = *size >= 8 ? file.sub(pos, *size) : std::nullopt;
        if (!block) {
            link.damaged = true;
            return;
        }
        const std::uint32_t signature = *block->u32(4);
        if (signature == kEnvironmentBlock) {
            link.environmentTarget = pathBlockText(*block);
        } else if (signature == kIconEnvironmentBlock && (link.flags & HasExpIcon)) {
            // The unexpanded icon path wins over the expanded copy in the strings.
            if (const QString icon = pathBlockText(*block); !icon.isEmpty()) {
                link.iconLocation = icon;
            }
        }
        pos += *size;
    }
}

} // namespace

QString resolveRelativePath(const QString& folder, const QString& relative) {
    if (relative.size() >= 2 && (relative[1] == u':' || relative.startsWith(u"\\\\"))) {
        return relative; // already absolute
    }
    QStringList parts = folder.split(u'\\', Qt::SkipEmptyParts);
    const bool unc = folder.startsWith(u"\\\\");
    for (const QString& part : relative.split(u'\\', Qt::SkipEmptyParts)) {
        if (part == u"..") {
            if (parts.size() > 1) {
                parts.removeLast();
            }
        } else if (part != u".") {
            parts.append(part);
        }
    }
    return (unc ? QStringLiteral("\\\\") : QString()) + parts.join(u'\\');
}

ShellLink parseShellLink(const QByteArray& bytes, const QString& linkFolder) {
    const ByteView file(bytes);
    if (file.u32(0) != kHeaderSize || file.size() < qsizetype(kHeaderSize)) {
        throw ShortcutError("not a shortcut file: wrong header size");
    }
    if (file.sub(4, 16)->bytes() != kLinkClsid) {
        throw ShortcutError("not a shortcut file: wrong class id");
    }
    ShellLink link;
    link.flags = *file.u32(0x14);
    link.iconIndex = static_cast<std::int32_t>(*file.u32(0x38));
    link.showCommand = static_cast<std::int32_t>(*file.u32(0x3C));
    link.advertised = link.flags & HasDarwinId;

    qsizetype pos = kHeaderSize;
    bool intact = true;
    if (link.flags & HasIdList) {
        const auto size = file.u16(pos);
        const auto list = size ? file.sub(pos + 2, *size) : std::nullopt;
        if (list) {
            link.idListTarget = decodeIdList(*list);
            pos += 2 + *size;
        } else {
            intact = false;
        }
    }
    if (intact && (link.flags & HasLinkInfo)) {
        const auto size = file.u32(pos);
        const auto info = size && *size >= 4 ? file.sub(pos, *size) : std::nullopt;
        if (info) {
            if (!(link.flags & ForceNoLinkInfo)) {
                link.linkInfoTarget = linkInfoTarget(*info);
            }
            pos += *size;
        } else {
            intact = false;
        }
    }
    const bool unicode = link.flags & IsUnicode;
    const std::pair<std::uint32_t, QString*> strings[] = {{HasName, &link.description},
                                                          {HasRelativePath, &link.relativePath},
                                                          {HasWorkingDir, &link.workingDir},
                                                          {HasArguments, &link.arguments},
                                                          {HasIconLocation, &link.iconLocation}};
    for (const auto& [flag, out] : strings) {
        if (intact && (link.flags & flag)) {
            intact = readString(file, pos, unicode, *out);
        }
    }
    if (intact) {
        readExtraData(file, pos, link);
    }
    link.damaged = link.damaged || !intact;
    if (!(link.flags & HasExpString)) {
        link.environmentTarget.clear();
    }

    if (link.advertised) {
        return link;
    }
    if (!link.environmentTarget.isEmpty()) {
        link.target = link.environmentTarget;
    } else if (!link.linkInfoTarget.isEmpty()) {
        link.target = link.linkInfoTarget;
    } else if (!link.idListTarget.isEmpty()) {
        link.target = link.idListTarget;
    } else if (!link.relativePath.isEmpty()) {
        link.target =
            linkFolder.isEmpty() ? link.relativePath : resolveRelativePath(linkFolder, link.relativePath);
    }
    return link;
}

} // namespace sw
