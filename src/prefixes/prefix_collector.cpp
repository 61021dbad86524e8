#include "prefix_collector.h"

#include "prefix_finder.h"

#include <QDir>
#include <QFileInfo>

namespace sw {

QString PrefixCollector::homePath(const QString& relative) const {
    return QDir(m_home).filePath(relative);
}

QString PrefixCollector::newPrefixPath(const QString& folder) const {
    const QString path = QFileInfo(folder).canonicalFilePath();
    return !path.isEmpty() && !m_seen.contains(path) && looksLikePrefix(path) ? path : QString();
}

bool PrefixCollector::wouldAdd(const QString& folder) const {
    return !newPrefixPath(folder).isEmpty();
}

void PrefixCollector::add(const QString& folder, const QString& name, PrefixSource source) {
    const QString path = newPrefixPath(folder);
    if (path.isEmpty())
        return;
    m_seen.insert(path);
    m_search.prefixes.push_back({name.isEmpty() ? QFileInfo(path).fileName() : name, source, path});
}

void PrefixCollector::addChildren(const QString& parent, PrefixSource source) {
    const QDir dir(parent);
    for (const QString& child : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        add(dir.filePath(child), child, source);
}

} // namespace sw
