#include "prefix_finder.h"

#include "prefix_collector.h"
#include "prefix_readers.h"

#include <QDir>
#include <QFileInfo>

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

PrefixSearch findPrefixes(const PrefixSearchPlaces& places) {
    PrefixCollector found(places.home);
    if (!places.winePrefixVariable.isEmpty())
        found.add(places.winePrefixVariable, QFileInfo(places.winePrefixVariable).fileName(),
                  PrefixSource::Wine);
    found.add(found.homePath(QStringLiteral(".wine")), QStringLiteral(".wine"), PrefixSource::Wine);
    findSteamPrefixes(found);
    findLutrisPrefixes(found);
    findBottlesPrefixes(found);
    findHeroicPrefixes(found);
    findPlayOnLinuxPrefixes(found);
    findCrossOverPrefixes(found);
    for (const QString& folder : places.addedFolders)
        found.add(folder, QFileInfo(folder).fileName(), PrefixSource::Added);
    return found.take();
}

} // namespace sw
