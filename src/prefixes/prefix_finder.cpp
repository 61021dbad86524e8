#include "prefix_finder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace sw {

QString prefixSourceKey(PrefixSource source) {
    switch (source) {
    case PrefixSource::Wine:
        return QStringLiteral("wine");
    case PrefixSource::Steam:
        return QStringLiteral("steam");
    case PrefixSource::Lutris:
        return QStringLiteral("lutris");
    case PrefixSource::Bottles:
        return QStringLiteral("bottles");
    case PrefixSource::Heroic:
        return QStringLiteral("heroic");
    case PrefixSource::PlayOnLinux:
        return QStringLiteral("playonlinux");
    case PrefixSource::CrossOver:
        return QStringLiteral("crossover");
    case PrefixSource::Added:
        return QStringLiteral("added");
    }
    return {};
}

std::vector<FoundPrefix> prefixesNamed(const std::vector<FoundPrefix>& prefixes, const QString& name) {
    std::vector<FoundPrefix> named;
    for (const FoundPrefix& prefix : prefixes)
        if (prefix.name.compare(name, Qt::CaseInsensitive) == 0)
            named.push_back(prefix);
    return named;
}

bool looksLikePrefix(const QString& folder) {
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QStringLiteral("system.reg"))).isFile() &&
           QFileInfo(dir.filePath(QStringLiteral("user.reg"))).isFile();
}

namespace {
class Collector {
public:
    void add(const QString& folder, const QString& name, PrefixSource source) {
        const QString path = QFileInfo(folder).canonicalFilePath();
        if (path.isEmpty() || !looksLikePrefix(path) || m_seen.contains(path))
            return;
        m_seen.insert(path);
        m_search.prefixes.push_back({name, source, path});
    }
    PrefixSearch take() { return std::move(m_search); }

private:
    QSet<QString> m_seen;
    PrefixSearch m_search;
};
} // namespace

// Only the plain Wine places and the added folders so far; the tools' own sources follow.
PrefixSearch findPrefixes(const PrefixSearchPlaces& places) {
    Collector found;
    if (!places.winePrefixVariable.isEmpty())
        found.add(places.winePrefixVariable, QFileInfo(places.winePrefixVariable).fileName(),
                  PrefixSource::Wine);
    found.add(QDir(places.home).filePath(QStringLiteral(".wine")), QStringLiteral(".wine"),
              PrefixSource::Wine);
    for (const QString& folder : places.addedFolders)
        found.add(folder, QFileInfo(folder).fileName(), PrefixSource::Added);
    return found.take();
}

} // namespace sw
