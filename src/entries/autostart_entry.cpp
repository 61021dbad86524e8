#include "autostart_entry.h"

#include <stdexcept>

namespace sw {

QString makeEntryTag(std::int32_t root, const QString& keyPath) {
    return QString::number(root) + QLatin1Char(';') + keyPath;
}

std::int32_t getTagRoot(const QString& tag) {
    const qsizetype separator = tag.indexOf(QLatin1Char(';'));
    if (separator < 0)
        throw std::invalid_argument("entry tag without ';'");
    bool ok = false;
    const int root = tag.left(separator).toInt(&ok);
    if (!ok)
        throw std::invalid_argument("entry tag with a root that is no number");
    return root;
}

QString getTagKey(const QString& tag) {
    const qsizetype separator = tag.indexOf(QLatin1Char(';'));
    return separator < 0 ? tag : tag.mid(separator + 1);
}

QString getFileNameFromPath(const QString& path) {
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return separator < 0 ? path : path.mid(separator + 1);
}

} // namespace sw
