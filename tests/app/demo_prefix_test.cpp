#include "demo_prefix.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

const QString kSources = QStringLiteral(SW_SOURCE_DIR "/data/demo");

QList<AutostartEntry> listAll(const QString& prefix) {
    const Platform platform = makeWinePlatform(prefix);
    const LanguageTexts texts;
    return listCategory({platform, texts, false}, QStringLiteral("ALL"));
}

const AutostartEntry* find(const QList<AutostartEntry>& rows, const QString& place, const QString& name) {
    for (const AutostartEntry& row : rows)
        if (row.backupKind == place && row.name == name)
            return &row;
    return nullptr;
}

bool writeFile(const QString& path, const QByteArray& content = {}) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

int entryLines() {
    QFile file(kSources + QStringLiteral("/entries.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int count = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        count += !line.isEmpty() && !line.startsWith('#');
    }
    return count;
}

} // namespace

class DemoPrefixTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_prefix = m_dir.filePath(QStringLiteral("prefix"));
        demo::makeDemoPrefix(kSources, m_prefix);
    }

    void isAPrefixWineCanLoad() {
        QVERIFY2(WinePrefix(m_prefix).isValid(), qPrintable(WinePrefix(m_prefix).problem()));
        QCOMPARE(QFileInfo(m_prefix + QStringLiteral("/dosdevices/c:")).symLinkTarget(),
                 QDir(m_prefix).filePath(QStringLiteral("drive_c")));
        for (const char* name : {"/system.reg", "/user.reg"}) {
            QFile file(m_prefix + QLatin1String(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray head = file.read(200);
            QVERIFY(head.startsWith("WINE REGISTRY Version 2\n"));
            QVERIFY(head.contains("\n#arch=win64\n"));
        }
    }

    void everyPlaceHasEveryKindOfRow() {
        const QList<AutostartEntry> rows = listAll(m_prefix);
        QCOMPARE(rows.size(), entryLines());
        for (const Place& place : allPlaces()) {
            int active = 0, inactive = 0;
            for (const AutostartEntry& row : rows)
                if (row.backupKind == place.backupKind)
                    ++(row.active ? active : inactive);
            QVERIFY2(active > 0, qPrintable(place.backupKind));
            QVERIFY2(inactive > 0, qPrintable(place.backupKind));
        }
        struct Expected {
            const char* place;
            const char* name;
            bool valid;
            bool active;
        };
        const Expected expected[] = {
            {"LURun", "Demo Sync", true, true},         // PE program with arguments
            {"LURun", "Clipboard Keeper", true, false}, // "REM " data
            {"LURun", "Weather Ticker", false, true},   // missing program
            {"LURun", "ctfmon", true, true},            // described by the database
            {"AURun", "Backup Agent", false, false},    // inactive and missing
            {"AURunOnce", "Size Checker Cleanup", true, true},
            {"SMLocalUsr", "Demo Sync.lnk", true, true},         // shortcut to a PE program
            {"SMLocalUsr", "Clipboard Keeper.lnk", true, false}, // hidden mark
            {"SMLocalUsr", "Old Notes.lnk", false, true},        // target missing
            {"SMLocalUsr", "Control Panel.lnk", false, true},    // no target at all
            {"SMLocalUsr", "Half Installed.lnk", false, true},   // zero-byte target
            {"SMLocalUsr", "mount-shares.cmd", true, true},      // plain file
            {"SMAllUsr", "Weather Ticker.lnk", false, false},
            {"SMAllUsr", "empty.cmd", false, true}, // zero-byte file
        };
        for (const Expected& e : expected) {
            const AutostartEntry* row = find(rows, QLatin1String(e.place), QLatin1String(e.name));
            QVERIFY2(row, e.name);
            QVERIFY2(row->valid == e.valid, e.name);
            QVERIFY2(row->active == e.active, e.name);
        }
        const AutostartEntry* inactive =
            find(rows, QStringLiteral("LURun"), QStringLiteral("Clipboard Keeper"));
        QCOMPARE(inactive->program,
                 QStringLiteral("\"C:\\Program Files (x86)\\Clipboard Keeper\\clipkeep.exe\" --hidden"));
        QVERIFY(
            find(rows, QStringLiteral("SMLocalUsr"), QStringLiteral("Control Panel.lnk"))->program.isEmpty());
        QCOMPARE(find(rows, QStringLiteral("SMLocalUsr"), QStringLiteral("Demo Sync.lnk"))->program,
                 QStringLiteral("C:\\Program Files\\Demo Sync\\demosync.exe"));

        // The programs keep their version information and icons under their new names.
        const Platform platform = makeWinePlatform(m_prefix);
        const QString program = QStringLiteral("C:\\Program Files\\Size Checker\\sizecheck.exe");
        QCOMPARE(platform.fileInformation->GetFileVersionText(program, QStringLiteral("CompanyName")),
                 QString::fromUtf8("M\xc3\xbcller GmbH"));
        QVERIFY(!platform.fileInformation->GetFileIcon(program, kSmallIcon).isNull());
    }

    void rerunStartsFromScratch() {
        QTemporaryDir dir;
        const QString prefix = dir.filePath(QStringLiteral("p"));
        demo::makeDemoPrefix(kSources, prefix);
        QVERIFY(writeFile(prefix + QStringLiteral("/drive_c/stray.txt")));
        demo::makeDemoPrefix(kSources, prefix);
        QVERIFY(!QFile::exists(prefix + QStringLiteral("/drive_c/stray.txt")));
        QCOMPARE(listAll(prefix).size(), entryLines()); // no value written twice
    }

    void refusesToReplaceAFolderThatIsNoPrefix() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("keep.txt"))));
        QVERIFY_THROWS_EXCEPTION(demo::DemoError, demo::makeDemoPrefix(kSources, dir.path()));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("keep.txt"))));
    }

    void namesTheLineOfABadEntry() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("src/registry"))));
        for (const char* name : {"/registry/system.reg", "/registry/user.reg"})
            QVERIFY(QFile::copy(kSources + QLatin1String(name), dir.path() + "/src" + QLatin1String(name)));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("src/programs.txt"))));
        QVERIFY(writeFile(
            dir.filePath(QStringLiteral("src/entries.txt")),
            "# two entries of one name\nHKCU Run | active | A | a.exe\nHKCU Run | active | a | b.exe\n"));
        try {
            demo::makeDemoPrefix(dir.filePath(QStringLiteral("src")), dir.filePath(QStringLiteral("p")));
            QFAIL("a duplicate name was accepted");
        } catch (const demo::DemoError& error) {
            QVERIFY2(QByteArray(error.what()).contains("entries.txt:3:"), error.what());
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_prefix;
};

QTEST_MAIN(DemoPrefixTest)
#include "demo_prefix_test.moc"
