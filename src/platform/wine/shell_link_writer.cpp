#include "platform/shortcut_file.h"
#include "platform/wine/shell_link.h"
#include "platform/wine/shell_link_format.h"
#include "platform/wine/shell_link_idlist.h"
#include "platform/wine/shell_link_text.h"

namespace sw {

using namespace lnk;

namespace {

void appendU16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void appendU32(QByteArray& out, std::uint32_t v) {
    appendU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    appendU16(out, static_cast<std::uint16_t>(v >> 16));
}

bool isDrivePath(const QString& path) {
    return path.size() >= 3 && path[0].isLetter() && path[0].unicode() < 0x80 && path[1] == u':' &&
           path[2] == u'\\';
}

// LinkInfo with a fixed-drive VolumeID and the local path twice: ANSI, the only copy Wine reads,
// and Unicode for names outside the code page.
QByteArray linkInfo(const QString& path) {
    constexpr std::uint32_t headerSize = 0x24;
    QByteArray volume;
    appendU32(volume, 0x11);
    appendU32(volume, 3); // DRIVE_FIXED
    appendU32(volume, 0x12345678);
    appendU32(volume, 0x10);
    volume.append('\0'); // no label

    const QByteArray ansi = encodeAnsi(path) + QByteArray(1, '\0');
    const QByteArray unicode = encodeUtf16(path) + QByteArray(2, '\0');
    const std::uint32_t volumeAt = headerSize;
    const std::uint32_t baseAt = volumeAt + volume.size();
    const std::uint32_t suffixAt = baseAt + ansi.size();
    const std::uint32_t baseUnicodeAt = suffixAt + 1;
    const std::uint32_t suffixUnicodeAt = baseUnicodeAt + unicode.size();
    const std::uint32_t size = suffixUnicodeAt + 2;

    QByteArray info;
    appendU32(info, size);
    appendU32(info, headerSize);
    appendU32(info, 1); // VolumeIDAndLocalBasePath
    appendU32(info, volumeAt);
    appendU32(info, baseAt);
    appendU32(info, 0);
    appendU32(info, suffixAt);
    appendU32(info, baseUnicodeAt);
    appendU32(info, suffixUnicodeAt);
    info.append(volume);
    info.append(ansi);
    info.append('\0');
    info.append(unicode);
    appendU16(info, 0);
    return info;
}

void appendString(QByteArray& out, const QString& text) {
    if (text.size() > 0xFFFF) {
        throw ShortcutError("shortcut text too long");
    }
    appendU16(out, static_cast<std::uint16_t>(text.size()));
    out.append(encodeUtf16(text));
}

QByteArray environmentBlock(const QString& path) {
    if (path.size() >= kMaxPath) {
        throw ShortcutError("shortcut target too long for a non-drive path");
    }
    QByteArray block;
    appendU32(block, kPathBlockSize);
    appendU32(block, kEnvironmentBlock);
    QByteArray ansi = encodeAnsi(path);
    ansi.resize(kMaxPath, '\0');
    QByteArray unicode = encodeUtf16(path);
    unicode.resize(2 * kMaxPath, '\0');
    block.append(ansi);
    block.append(unicode);
    return block;
}

} // namespace

QByteArray buildShellLink(const QString& windowsTarget, const ShellLinkOptions& options) {
    if (windowsTarget.isEmpty()) {
        throw ShortcutError("shortcut target is empty");
    }
    const bool drive = isDrivePath(windowsTarget);
    std::uint32_t flags = HasLinkInfo | IsUnicode;
    QByteArray idList;
    if (drive) {
        flags |= HasIdList;
        idList = buildIdList(windowsTarget);
        if (idList.size() > 0xFFFF) {
            throw ShortcutError("shortcut target too long");
        }
    } else {
        flags |= HasExpString;
    }
    const std::pair<std::uint32_t, const QString*> strings[] = {{HasName, &options.description},
                                                                {HasWorkingDir, &options.workingDir},
                                                                {HasArguments, &options.arguments},
                                                                {HasIconLocation, &options.iconLocation}};
    for (const auto& [flag, text] : strings) {
        if (!text->isEmpty()) {
            flags |= flag;
        }
    }

    QByteArray out;
    appendU32(out, kHeaderSize);
    out.append(kLinkClsid);
    appendU32(out, flags);
    appendU32(out, 0x20);                 // FILE_ATTRIBUTE_ARCHIVE
    out.append(QByteArray(24 + 4, '\0')); // times, file size: unknown
    appendU32(out, static_cast<std::uint32_t>(options.iconIndex));
    appendU32(out, static_cast<std::uint32_t>(options.showCommand == 0 ? 1 : options.showCommand));
    out.append(QByteArray(12, '\0')); // hot key, reserved

    if (drive) {
        appendU16(out, static_cast<std::uint16_t>(idList.size()));
        out.append(idList);
    }
    out.append(linkInfo(windowsTarget));
    for (const auto& [flag, text] : strings) {
        if (flags & flag) {
            appendString(out, *text);
        }
    }
    if (!drive) {
        out.append(environmentBlock(windowsTarget));
    }
    appendU32(out, 0); // terminal block
    return out;
}

} // namespace sw
