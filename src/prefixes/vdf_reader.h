#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

namespace sw {

// One key of a Valve text file (libraryfolders.vdf, appmanifest_*.acf): a text or a block of keys.
struct VdfNode {
    QString key;
    QString text;
    std::vector<VdfNode> children;
    bool isBlock = false;

    // The first child of that key, ignoring case (the files' case varies between versions), or null.
    const VdfNode* child(QStringView name) const;
    // The text of that child, or the empty text.
    QString childText(QStringView name) const;
};

struct VdfDocument {
    std::vector<VdfNode> keys;
    QString error; // empty when the whole text was read
};

// Reads quoted and bare tokens, "//" comments, and "[$...]" conditions (ignored). Bounded for hostile
// input: at most kMaxVdfDepth blocks deep and kMaxVdfNodes keys; a block or quote that never closes
// is an error, not a wait for more.
inline constexpr int kMaxVdfDepth = 64;
inline constexpr int kMaxVdfNodes = 200000;
VdfDocument readVdf(const QByteArray& text);

} // namespace sw
