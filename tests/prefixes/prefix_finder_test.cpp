// The search over a fake home holding every launcher's files as the launchers write them, and over
// hostile ones: each is skipped with a note, without a hang, and the rest is still found.
#include "fake_home.h"
#include "prefixes/prefix_finder.h"
#include "prefixes/prefix_settings.h"
#include "prefixes/vdf_reader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using sw::test::FakeHome;

namespace {

QStringList listing(const sw::PrefixSearch& search, const QString& home) {
    QStringList lines;
    for (const sw::FoundPrefix& prefix : search.prefixes)
        lines << prefix.name + "|" + sw::prefixSourceKey(prefix.source) + "|" +
                     QDir(home).relativeFilePath(prefix.path);
    return lines;
}

QStringList noteFiles(const sw::PrefixSearch& search, const QString& home) {
    QStringList files;
    for (const sw::PrefixSearchNote& note : search.notes)
        files << QDir(home).relativeFilePath(note.file) + ": " + note.reason;
    return files;
}

} // namespace

class PrefixFinderTest : public QObject {
    Q_OBJECT

private slots:
    void findsEverySourceOnceInOrder() {
        QTemporaryDir dir;
        const FakeHome home(QDir(dir.path()).canonicalPath());
        QVERIFY(home.fillWithEverySource());
        // $WINEPREFIX leads; an added folder that another source found already stays under that name.
        QVERIFY(home.makePrefix("elsewhere/mine"));
        const sw::PrefixSearch search = sw::findPrefixes(
            {home.path(),
             home.path("elsewhere/mine/"),
             {home.path("Games/other"), home.path("missing"), home.path(".cxoffice/Steam Bottle/..")}});
        QStringList expected = FakeHome::everySourceListing();
        expected.prepend("mine|wine|elsewhere/mine");
        QCOMPARE(listing(search, home.path()), expected);
        QVERIFY2(search.notes.empty(), qPrintable(noteFiles(search, home.path()).join('\n')));
    }

    void hostileConfigsAreSkippedWithANote() {
        QTemporaryDir dir;
        const FakeHome home(QDir(dir.path()).canonicalPath());
        const QString steamapps = ".local/share/Steam/steamapps/";
        QVERIFY(home.makePrefix(steamapps + "compatdata/10/pfx"));
        QVERIFY(
            home.writeFile(steamapps + "libraryfolders.vdf", "\"libraryfolders\" { \"0\" { \"path\" \"/x\""));
        QVERIFY(mkfifo(qPrintable(home.path(steamapps + "appmanifest_10.acf")), 0600) == 0);
        // YAML that does not parse, nested past yaml-cpp's depth guard, a loop of links, 1 GB.
        QVERIFY(home.makePrefix("Games/a"));
        QVERIFY(home.writeFile(".config/lutris/games/a-1.yml",
                               "game:\n  prefix: " + home.path("Games/a").toUtf8() + "\n  x: [unclosed\n"));
        QVERIFY(home.link(home.path(".config/lutris/games/c-1.yml"), ".config/lutris/games/b-1.yml"));
        QVERIFY(home.link(home.path(".config/lutris/games/b-1.yml"), ".config/lutris/games/c-1.yml"));
        QVERIFY(home.writeFile(".config/lutris/games/d-1.yml", ""));
        QVERIFY(QFile::resize(home.path(".config/lutris/games/d-1.yml"), 1LL << 30));
        QVERIFY(home.writeFile(".local/share/lutris/games/e-1.yml",
                               "game:\n  prefix: " + home.path("Games/a").toUtf8() + "\n"));
        QVERIFY(home.writeFile(".local/share/lutris/pga.db", "not a database"));
        QVERIFY(home.makePrefix(".local/share/bottles/bottles/Deep"));
        QVERIFY(home.writeFile(".local/share/bottles/bottles/Deep/bottle.yml", QByteArray(100000, '[')));
        QVERIFY(home.writeFile(".config/heroic/GamesConfig/x.json", "{\"x\": {\"winePrefix\": "));
        QVERIFY(home.link(home.path(".PlayOnLinux/wineprefix/loop"), ".PlayOnLinux/wineprefix/loop"));

        QElapsedTimer timer;
        timer.start();
        const sw::PrefixSearch search = sw::findPrefixes({home.path(), {}, {}});
        QVERIFY(timer.elapsed() < 5000);
        // What could be read is still found: the library's own folder, the prefix e-1.yml names,
        // the bottle under its folder's name.
        QCOMPARE(listing(search, home.path()),
                 QStringList({"Steam app 10|steam|" + steamapps + "compatdata/10/pfx", "e-1|lutris|Games/a",
                              "Deep|bottles|.local/share/bottles/bottles/Deep"}));
        const QString notes = noteFiles(search, home.path()).join('\n');
        for (const QString& expected : QStringList{
                 steamapps + "libraryfolders.vdf: a block never closes",
                 steamapps + "appmanifest_10.acf: not a plain file",
                 ".config/lutris/games/a-1.yml: not readable as YAML",
                 ".config/lutris/games/b-1.yml: a symbolic link", ".config/lutris/games/d-1.yml: larger than",
                 ".local/share/lutris/pga.db: holds no readable games",
                 ".local/share/bottles/bottles/Deep/bottle.yml: not readable as YAML",
                 ".config/heroic/GamesConfig/x.json: not readable as JSON"})
            QVERIFY2(notes.contains(expected), qPrintable(expected + " missing from:\n" + notes));
    }

    void vdfReaderKeepsToItsBounds() {
        const sw::VdfDocument read =
            sw::readVdf("// head\n\"A\" { \"b\" \"1\" [$WIN32]\n c \"x\\\\y\" \"D\" {} }\n");
        QVERIFY(read.error.isEmpty());
        QCOMPARE(read.keys.size(), size_t(1));
        QCOMPARE(read.keys[0].childText(u"B"), QString("1"));
        QCOMPARE(read.keys[0].childText(u"c"), QString("x\\y"));
        QVERIFY(read.keys[0].child(u"d")->isBlock);
        for (const QByteArray& bad :
             {QByteArray("\"a\" {"), QByteArray("\"a\" \"b"), QByteArray("}"), QByteArray("\"a\""),
              QByteArray("{ }"), QByteArray(100000, '{').prepend("a ")})
            QVERIFY2(!sw::readVdf(bad).error.isEmpty(), bad.left(20).constData());
        QByteArray deep;
        for (int i = 0; i < sw::kMaxVdfDepth - 1; ++i)
            deep += "k {";
        deep += QByteArray(sw::kMaxVdfDepth - 1, '}');
        QVERIFY(sw::readVdf(deep).error.isEmpty());
    }

    void addedFoldersAreKeptInTheSettingsFile() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath("Tidyra.conf"), QSettings::IniFormat);
        settings.setValue("Settings/Language", "german.lng");
        sw::addPrefixFolder(settings, dir.filePath("a,b/"));
        sw::addPrefixFolder(settings, dir.filePath("c/../a,b"));
        sw::addPrefixFolder(settings, dir.filePath("d"));
        sw::removePrefixFolder(settings, dir.filePath("d"));
        const QSettings reread(dir.filePath("Tidyra.conf"), QSettings::IniFormat);
        QCOMPARE(sw::addedPrefixFolders(reread), QStringList({dir.filePath("a,b")}));
        QCOMPARE(reread.value("Settings/Language").toString(), QString("german.lng"));
    }
};

QTEST_GUILESS_MAIN(PrefixFinderTest)
#include "prefix_finder_test.moc"
