// Lutris keeps a YAML file per game (game: prefix: the Wine prefix) and the games' names in its
// SQLite library, pga.db.
#include "config_file.h"
#include "prefix_readers.h"
#include "yaml_config.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace sw {

namespace {

// The games' names by their configuration file's base name, read without writing or locking the
// library: Lutris may have it open.
QHash<QString, QString> gameNames(const QString& path, PrefixCollector& found) {
    QHash<QString, QString> names;
    const QFileInfo info(path);
    if (!info.exists())
        return names;
    if (!info.isFile()) { // SQLite would block on a FIFO
        found.note(path, QStringLiteral("not a plain file"));
        return names;
    }
    // A name of its own: the search may run on several threads at once.
    static std::atomic<int> connections{0};
    const QString connection = QStringLiteral("sw_lutris_%1").arg(connections++);
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=200"));
        if (!database.open()) {
            found.note(path, QStringLiteral("cannot be opened (%1)").arg(database.lastError().text()));
        } else {
            QSqlQuery query(database);
            query.setForwardOnly(true);
            if (!query.exec(QStringLiteral("SELECT configpath, name FROM games")))
                found.note(
                    path, QStringLiteral("holds no readable games table (%1)").arg(query.lastError().text()));
            while (query.next())
                names.insert(query.value(0).toString(), query.value(1).toString());
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return names;
}

} // namespace

void findLutrisPrefixes(PrefixCollector& found) {
    const QStringList folders{found.homePath(QStringLiteral(".config/lutris/games")),
                              found.homePath(QStringLiteral(".local/share/lutris/games"))};
    QList<QFileInfo> files;
    for (const QString& folder : folders)
        files +=
            QDir(folder).entryInfoList({QStringLiteral("*.yml")}, QDir::Files | QDir::System, QDir::Name);
    if (files.isEmpty())
        return;
    const QHash<QString, QString> names =
        gameNames(found.homePath(QStringLiteral(".local/share/lutris/pga.db")), found);
    for (const QFileInfo& file : std::as_const(files)) {
        const std::optional<YAML::Node> game = readYamlFile(file.filePath(), found);
        if (!game)
            continue;
        const QString prefix = launcherPath(yamlText(*game, {"game", "prefix"}), found.home());
        if (prefix.isEmpty())
            continue; // not a Wine game
        QString name = names.value(file.completeBaseName());
        if (name.isEmpty())
            name = yamlText(*game, {"name"});
        found.add(prefix, name.isEmpty() ? file.completeBaseName() : name, PrefixSource::Lutris);
    }
}

} // namespace sw
