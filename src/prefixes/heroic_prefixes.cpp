// Heroic keeps each game's settings, winePrefix among them, in GamesConfig/<game>.json, and makes
// its prefixes in ~/Games/Heroic/Prefixes (directly, or in Prefixes/default in later versions).
#include "config_file.h"
#include "prefix_collector.h"
#include "prefix_readers.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace sw {

namespace {

void addConfigured(const QString& file, PrefixCollector& found) {
    const std::optional<QByteArray> bytes = readConfigFile(file, found.notes());
    if (!bytes)
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (!document.isObject()) {
        found.note(file, QStringLiteral("not readable as JSON (%1)").arg(error.errorString()));
        return;
    }
    // {"<game>": {"winePrefix": "...", ...}, "version": ...}
    const QJsonObject games = document.object();
    for (auto game = games.begin(); game != games.end(); ++game) {
        const QString prefix = launcherPath(
            game.value().toObject().value(QStringLiteral("winePrefix")).toString(), found.home());
        if (!prefix.isEmpty())
            found.add(prefix, QFileInfo(prefix).fileName(), PrefixSource::Heroic);
    }
}

} // namespace

void findHeroicPrefixes(PrefixCollector& found) {
    const QDir configs(found.homePath(QStringLiteral(".config/heroic/GamesConfig")));
    for (const QString& file :
         configs.entryList({QStringLiteral("*.json")}, QDir::Files | QDir::System, QDir::Name))
        addConfigured(configs.filePath(file), found);
    const QDir prefixes(found.homePath(QStringLiteral("Games/Heroic/Prefixes")));
    for (const QString& child : prefixes.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = prefixes.filePath(child);
        if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("system.reg"))))
            found.add(folder, child, PrefixSource::Heroic);
        else
            found.addChildren(folder, PrefixSource::Heroic);
    }
}

} // namespace sw
