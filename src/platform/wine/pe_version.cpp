#include "platform/wine/pe_version.h"

#include "platform/wine/pe_bytes.h"
#include "platform/wine/pe_resources.h"

namespace sw {

using namespace pe;

namespace {

constexpr quint64 kHeaderSize = 6; // wLength, wValueLength, wType

// Reads the node at `start`, which must end by `limit`.
std::optional<VersionNode> readNode(const QByteArray& block, quint64 start, quint64 limit) {
    if (start + kHeaderSize > limit || !inRange(block, start, kHeaderSize))
        return std::nullopt;
    const quint16 length = u16(block, start);
    if (length < kHeaderSize || start + length > limit)
        return std::nullopt;
    VersionNode node;
    node.start = start;
    node.end = start + length;
    node.type = u16(block, start + 4);
    quint64 at = start + kHeaderSize;
    for (; at + 2 <= node.end; at += 2) {
        if (u16(block, at) == 0)
            break;
    }
    if (at + 2 > node.end) // no terminated key
        return std::nullopt;
    node.key = utf16(block, start + kHeaderSize, (at - start - kHeaderSize) / 2);
    // Some compilers count text values in bytes or without the NUL, so the value length is only a
    // bound; text readers stop at the NUL.
    const quint64 valueLength = u16(block, start + 2) * (node.type == 1 ? 2ull : 1ull);
    node.valueStart = std::min(align4(at + 2), node.end);
    node.valueEnd = std::min(node.valueStart + valueLength, node.end);
    node.childrenStart = std::min(align4(node.valueEnd), node.end);
    return node;
}

std::optional<VersionNode> findChild(const QByteArray& block, const VersionNode& parent, QStringView key) {
    quint64 at = parent.childrenStart;
    while (at < parent.end) {
        const auto child = readNode(block, at, parent.end);
        if (!child)
            return std::nullopt;
        if (QStringView(child->key).compare(key, Qt::CaseInsensitive) == 0)
            return child;
        at = align4(child->end); // wLength >= 6, so this always moves on
    }
    return std::nullopt;
}

} // namespace

std::optional<VersionNode> queryVersionNode(const QByteArray& block, QStringView path) {
    auto node = readNode(block, 0, static_cast<quint64>(block.size()));
    for (QStringView part : path.split(u'\\', Qt::SkipEmptyParts)) {
        if (!node)
            break;
        node = findChild(block, *node, part);
    }
    return node;
}

QString versionNodeText(const QByteArray& block, const VersionNode& node) {
    quint64 at = node.valueStart;
    while (at + 2 <= node.end && u16(block, at) != 0)
        at += 2;
    return utf16(block, node.valueStart, (at - node.valueStart) / 2);
}

QByteArray readVersionBlock(const QByteArray& fileBytes) {
    const PeResources pe(fileBytes);
    std::optional<PeResourceName> name = PeResourceName{1, {}, false};
    auto resource = pe.find(kResourceVersion, *name);
    if (!resource) {
        name = pe.firstName(kResourceVersion);
        if (name)
            resource = pe.find(kResourceVersion, *name);
    }
    return resource ? pe.data(*resource) : QByteArray();
}

QString readVersionText(const QByteArray& fileBytes, const QString& name) {
    return name.isEmpty() ? QString() : readBlockVersionText(readVersionBlock(fileBytes), name);
}

QString readBlockVersionText(const QByteArray& block, const QString& name) {
    if (name.isEmpty())
        return {};
    const auto translation = queryVersionNode(block, u"\\\\VarFileInfo\\\\Translation");
    if (!translation || translation->valueEnd - translation->valueStart < 4)
        return {};
    const quint32 language = u16(block, translation->valueStart);
    const quint32 codePage = u16(block, translation->valueStart + 2);
    // Unsigned arithmetic, so languages from 0x8000 up still give their 8 digits.
    const QString key =
        QStringLiteral("%1").arg(language << 16 | codePage, 8, 16, QLatin1Char('0')).toUpper();
    const auto text =
        queryVersionNode(block, QStringLiteral("\\\\StringFileInfo\\\\%1\\\\%2").arg(key, name));
    return text ? versionNodeText(block, *text) : QString();
}

} // namespace sw
