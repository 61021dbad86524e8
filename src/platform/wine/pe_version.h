#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace sw {

// One node of a version resource (VS_VERSIONINFO and its children), by offsets into the block.
struct VersionNode {
    quint64 start = 0;
    quint64 end = 0; // start + wLength, inside the block
    QString key;
    quint16 type = 0; // 1 text, 0 binary
    quint64 valueStart = 0;
    quint64 valueEnd = 0; // clipped to the node
    quint64 childrenStart = 0;
};

// Finds a node by a path such as "\\StringFileInfo\\040904B0\\CompanyName": levels are separated
// by "\", a doubled "\" counts as one, keys compare case-insensitively, the first match wins.
std::optional<VersionNode> queryVersionNode(const QByteArray& block, QStringView path);

// The text value of a node, up to its first NUL.
QString versionNodeText(const QByteArray& block, const VersionNode& node);

// The version resource (RT_VERSION, ID 1 when present) of a PE file, or empty.
QByteArray readVersionBlock(const QByteArray& fileBytes);

// The text `name` of the string table named by the first "Translation" pair (language and code
// page as 8 upper-case hex digits). Empty when the file, the pair, the table or the text is missing;
// there is no fallback to another table. Values are returned whole (the format bounds them to about
// 32K characters), not cut at a fixed buffer length.
QString readVersionText(const QByteArray& fileBytes, const QString& name);
// The same from a version resource that readVersionBlock gave.
QString readBlockVersionText(const QByteArray& block, const QString& name);

} // namespace sw
