// The shipped database, compiled from data/database by the real compiler, against command lines as
// Windows, installers and Wine write them.
#include "db_writer.h"
#include "info/description_database.h"
#include "info/entry_rating.h"

#include <QDir>
#include <QTest>

using namespace sw;
using namespace sw::dbcompiler;

class ShippedDatabaseTest : public QObject {
    Q_OBJECT

    DescriptionDatabase m_db;

    // The English text of the first record for the entry, or "" when none matches.
    QString describe(const QString& command, const QString& company, const QString& name,
                     EntryRating* rating = nullptr) const {
        const int index = findRecord(m_db, command, company, name);
        if (rating)
            *rating = ratingOfRecord(m_db, index);
        return index == 0 ? QString() : m_db.description(index).description;
    }

private slots:
    void initTestCase() {
        const QDir sources(QStringLiteral(SW_SOURCE_DIR "/data/database"));
        QStringList paths;
        for (const QString& name : sources.entryList({QStringLiteral("*.db")}, QDir::Files))
            paths.append(sources.filePath(name));
        Diagnostics diagnostics;
        CompiledDatabase compiled;
        compileDatabase(readSources(paths, diagnostics), compiled, diagnostics);
        QVERIFY2(diagnostics.errors.isEmpty(), qPrintable(diagnostics.errors.join(u'\n')));
        qint16 count = 0;
        QString error;
        QVERIFY(parseSearchIndex(compiled.searchIndex, m_db.searchTable, count, error));
        QVERIFY(parseDescriptions(compiled.descriptionFiles.value("Des_English.dat"), m_db.descriptionTable,
                                  count, error));
    }

    void realCommandLines_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // a distinctive piece of the record's English text
        QTest::addColumn<bool>("risk");
        auto row = [](const char* tag, const char* command, const char* company, const char* name,
                      const char* expected, bool risk = false) {
            QTest::newRow(tag) << QString::fromUtf8(command) << QString::fromUtf8(company)
                               << QString::fromUtf8(name) << QString::fromUtf8(expected) << risk;
        };
        // A quoted path with arguments.
        row("chrome background",
            R"("C:\Program Files\Google\Chrome\Application\chrome.exe" --no-startup-window)", "Google LLC",
            "GoogleChromeAutoLaunch_9A1B2C3D", "Google Chrome started in the background");
        // A script as the argument moves the last backslash into the script's path.
        row("autohotkey script",
            R"("C:\Program Files\AutoHotkey\AutoHotkey.exe" "C:\Users\Anna\Documents\keys.ahk")", "", "keys",
            "An AutoHotkey script");
        // Squirrel installers start the program through Update.exe; the program is an argument.
        row("squirrel teams",
            R"("C:\Users\Anna\AppData\Local\Microsoft\Teams\Update.exe" --processStart "Teams.exe" --process-start-args "--system-initiated")",
            "Microsoft Corporation", "com.squirrel.Teams.Teams", "classic Microsoft Teams client");
        // rundll32 entries: the DLL's path in the arguments holds the last backslash.
        row("rundll32 logitech",
            R"(C:\Windows\System32\rundll32.exe C:\Windows\System32\LogiLDA.dll,LogiFetch)",
            "Microsoft Corporation", "Logitech Download Assistant", "Logitech Download Assistant");
        // An unexpanded environment variable, as a REG_EXPAND_SZ value holds it.
        row("realtek", R"("%ProgramFiles%\Realtek\Audio\HDA\RtkNGUI64.exe" -s)", "Realtek Semiconductor",
            "RtHDVBg", "Newer Realtek HD Audio Manager");
        // Wine's start command with a host path.
        row("wine start",
            R"(C:\windows\command\start.exe /Unix /home/anna/.wine/dosdevices/c:/users/Public/Tool.lnk)", "",
            "Tool", "Wine's start command");
        // Disguises and worms: the entry name tells the worm apart from the plain disguise.
        row("netsky", R"(C:\Windows\services.exe -serv)", "", "service", "Netsky.B e-mail worm", true);
        row("services disguise", R"(C:\Users\Anna\AppData\Roaming\services.exe)", "", "Windows Update",
            "genuine services.exe is the Windows service manager", true);
    }
    void realCommandLines() {
        QFETCH(QString, command);
        QFETCH(QString, company);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(bool, risk);
        EntryRating rating = EntryRating::NoRecord;
        const QString text = describe(command, company, name, &rating);
        QVERIFY2(text.contains(expected), qPrintable(text));
        QCOMPARE(rating, risk ? EntryRating::Risk : EntryRating::Normal);
    }

    // Generic file names get a vendor's description only with that vendor's guard.
    void genericNamesNeedTheirGuard() {
        QVERIFY(!describe(R"("C:\Program Files\Google\Chrome\Application\chrome.exe" http://offers.example)",
                          "Google LLC", "Chrome")
                     .contains("Google Chrome started in the background"));
        QVERIFY(!describe(R"(C:\Tools\GMT\bin\gmt.exe)", "The GMT Team", "gmt").contains("Gator"));
        QVERIFY(!describe(R"(C:\Games\Box\box.exe)", "Toy Games", "Box").contains("Box Drive"));
        QVERIFY(!describe(R"(C:\Program Files\Tool\start.exe /min)", "Tool Ltd", "Tool").contains("Wine"));
        QVERIFY(describe(R"(C:\Tools\gmt.exe)", "Claria Corporation", "GMT").contains("Gator"));
    }
};

QTEST_GUILESS_MAIN(ShippedDatabaseTest)
#include "shipped_database_test.moc"
