#include "fake_home.h"

#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace sw::test {

QString FakeHome::path(const QString& relative) const {
    return relative.isEmpty() ? m_root : QDir(m_root).filePath(relative);
}

bool FakeHome::writeFile(const QString& relative, const QByteArray& content) const {
    const QString file = path(relative);
    QFile out(file);
    return QDir().mkpath(QFileInfo(file).path()) && out.open(QIODevice::WriteOnly) &&
           out.write(content) == content.size();
}

bool FakeHome::makePrefix(const QString& relative, int runValues) const {
    QByteArray values;
    for (int i = 0; i < runValues; ++i)
        values += "\"tool" + QByteArray::number(i) + "\"=\"C:\\\\tool.exe\"\n";
    return writeFile(relative + "/system.reg", TempPrefix::registryHeader(true)) &&
           writeFile(relative + "/user.reg", TempPrefix::registryHeader(false) +
                                                 (runValues ? TempPrefix::runSection(values) : QByteArray()));
}

bool FakeHome::link(const QString& target, const QString& relative) const {
    return QDir().mkpath(QFileInfo(path(relative)).path()) && QFile::link(target, path(relative));
}

bool FakeHome::makeLutrisLibrary(const QList<std::pair<QString, QString>>& games) const {
    const QString file = path(".local/share/lutris/pga.db");
    bool done = QDir().mkpath(QFileInfo(file).path());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fake_home_lutris");
        db.setDatabaseName(file);
        done = done && db.open();
        QSqlQuery query(db);
        // The columns Lutris's own table starts with.
        done = done && query.exec("CREATE TABLE games (id INTEGER PRIMARY KEY, name TEXT, slug TEXT, "
                                  "installer_slug TEXT, parent_slug TEXT, platform TEXT, runner TEXT, "
                                  "executable TEXT, directory TEXT, updated DATETIME, lastplayed INTEGER, "
                                  "installed INTEGER, installed_at INTEGER, year INTEGER, configpath TEXT)");
        for (const auto& [configPath, name] : games) {
            done = done && query.prepare("INSERT INTO games (name, slug, runner, installed, configpath) "
                                         "VALUES (?, ?, 'wine', 1, ?)");
            query.addBindValue(name);
            query.addBindValue(configPath.section('-', 0, 0));
            query.addBindValue(configPath);
            done = done && query.exec();
        }
    }
    QSqlDatabase::removeDatabase("fake_home_lutris");
    return done;
}

bool FakeHome::fillWithEverySource() const {
    const QString steam = ".local/share/Steam";
    bool done =
        makePrefix(".wine", 2) && link(path(steam), ".steam/steam") &&
        writeFile(
            steam + "/steamapps/libraryfolders.vdf",
            "\"libraryfolders\"\n{\n"
            "\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" +
                path(steam).toUtf8() +
                "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"0\"\n\t\t}\n\t}\n"
                "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" +
                path("Games/SteamLibrary").toUtf8() +
                "\"\n\t}\n"
                "\t\"2\"\n\t{\n\t\t\"path\"\t\t\"" +
                path("LibraryLink").toUtf8() + "\"\n\t}\n}\n") &&
        link(path("Games/SteamLibrary"), "LibraryLink") &&
        makePrefix(steam + "/steamapps/compatdata/228980/pfx", 1) &&
        writeFile(steam + "/steamapps/appmanifest_228980.acf",
                  "\"AppState\"\n{\n\t\"appid\"\t\t\"228980\"\n\t\"name\"\t\t\"Steamworks Common "
                  "Redistributables\"\n\t\"UserConfig\"\n\t{\n\t\t\"language\"\t\t\"english\"\n\t}\n}\n") &&
        makePrefix("Games/SteamLibrary/steamapps/compatdata/1091500/pfx") &&
        writeFile("Games/SteamLibrary/steamapps/appmanifest_1091500.acf",
                  "\"AppState\"\n{\n\t\"appid\"\t\t\"1091500\"\n\t\"name\"\t\t\"A \\\"Quoted\\\" "
                  "Game\"\n}\n") &&
        makePrefix("Games/SteamLibrary/steamapps/compatdata/3000000000/pfx") &&
        writeFile("Games/SteamLibrary/steamapps/compatdata/42/pfx/user.reg", "WINE REGISTRY Version 2\n");
    // The Flatpak installation, with the older form of the library list (numbered paths only).
    const QString flatpak = ".var/app/com.valvesoftware.Steam/data/Steam";
    done = done && makePrefix(flatpak + "/steamapps/compatdata/70/pfx") &&
           writeFile(flatpak + "/steamapps/libraryfolders.vdf",
                     "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n}\n") &&
           writeFile(flatpak + "/steamapps/appmanifest_70.acf", "\"appstate\" { \"name\" \"Half Game\" }");

    done = done && makePrefix("Games/some-game") &&
           writeFile(".config/lutris/games/some-game-1600000000.yml",
                     "game:\n  exe: drive_c/Game/game.exe\n  prefix: ~/Games/some-game\nwine:\n  version: "
                     "lutris-7\n") &&
           makePrefix("Games/other") &&
           writeFile(".local/share/lutris/games/other-1600000001.yml",
                     "game:\n  prefix: " + path("Games/other").toUtf8() + "\nname: Other Game\n") &&
           writeFile(".local/share/lutris/games/native-1600000002.yml", "game:\n  exe: /usr/bin/true\n") &&
           makeLutrisLibrary({{"some-game-1600000000", "Some Game"}});

    done =
        done && makePrefix(".local/share/bottles/bottles/Office") &&
        writeFile(".local/share/bottles/bottles/Office/bottle.yml",
                  "Arch: win64\nName: My Office\nPath: Office\nRunner: soda-7.0-9\n") &&
        makePrefix(".var/app/com.usebottles.bottles/data/bottles/bottles/Games") &&
        writeFile(".var/app/com.usebottles.bottles/data/bottles/bottles/Games/bottle.yml", "Name: Games\n");

    done = done && makePrefix("Games/Heroic/Prefixes/default/Fancy Game") &&
           writeFile(".config/heroic/GamesConfig/Fancy.json",
                     "{\n  \"Fancy\": {\n    \"winePrefix\": \"" +
                         path("Games/Heroic/Prefixes/default/Fancy Game").toUtf8() +
                         "\",\n    \"wineVersion\": {\"type\": \"proton\"}\n  },\n  \"version\": \"v0\",\n"
                         "  \"explicit\": true\n}\n") &&
           makePrefix("Games/Heroic/Prefixes/Old Game");

    return done && makePrefix(".PlayOnLinux/wineprefix/Notepad") && makePrefix(".cxoffice/Steam Bottle");
}

QStringList FakeHome::everySourceListing() {
    return {".wine|wine|.wine",
            "Steamworks Common Redistributables|steam|.local/share/Steam/steamapps/compatdata/228980/pfx",
            "A \"Quoted\" Game|steam|Games/SteamLibrary/steamapps/compatdata/1091500/pfx",
            "Steam app 3000000000|steam|Games/SteamLibrary/steamapps/compatdata/3000000000/pfx",
            "Half Game|steam|.var/app/com.valvesoftware.Steam/data/Steam/steamapps/compatdata/70/pfx",
            "Some Game|lutris|Games/some-game",
            "Other Game|lutris|Games/other",
            "My Office|bottles|.local/share/bottles/bottles/Office",
            "Games|bottles|.var/app/com.usebottles.bottles/data/bottles/bottles/Games",
            "Fancy Game|heroic|Games/Heroic/Prefixes/default/Fancy Game",
            "Old Game|heroic|Games/Heroic/Prefixes/Old Game",
            "Notepad|playonlinux|.PlayOnLinux/wineprefix/Notepad",
            "Steam Bottle|crossover|.cxoffice/Steam Bottle"};
}

} // namespace sw::test
