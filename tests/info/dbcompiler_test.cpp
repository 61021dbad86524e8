// The database compiler: sources to files the program reads, refusals, record order and pattern
// cover, and the shipped database against real command lines.
#include "db_stats.h"
#include "db_writer.h"
#include "fixture_bytes.h"
#include "info/description_database.h"
#include "info/entry_rating.h"
#include "info/written_program_lookup.h"
#include "pattern_cover.h"
#include "platform/command_line.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;
using namespace sw::dbcompiler;

namespace {

const char* const kGoodRecord = "[record]\n"
                                "file = TOOL.EXE*\n"
                                "company = ACME*\n"
                                "name = *\n"
                                "risk = 0\n"
                                "en = Starts the tool.\\nTwice.\n"
                                "de = Startet das Werkzeug für Größeres.\n";

} // namespace

class DbCompilerTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DescriptionDatabase m_db; // the shipped one

    QString writeSource(const QString& name, const QByteArray& content) {
        return sw::test::writeBytes(m_dir.filePath(name), content);
    }

    // Compiles the sources; every error in one text, or nothing when it compiled.
    QString refusal(const QStringList& sources, const QString& out) {
        Diagnostics diagnostics;
        if (compileSources(sources, m_dir.filePath(out), diagnostics))
            return {};
        return diagnostics.errors.join(u'\n');
    }

    // The English text of the first record for the entry, or "" when none matches.
    QString describe(const QString& command, const QString& company, const QString& name,
                     EntryRating* rating = nullptr) const {
        const int index = rateCommandLine(m_db, command, company, name, writtenProgramLookup(command));
        if (rating)
            *rating = ratingOfRecord(m_db, index);
        return index == 0 ? QString() : m_db.description(index).description;
    }

private slots:
    // The shipped database, compiled from data/database, against command lines as Windows, installers
    // and Wine write them.
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

    void roundTrip() {
        const QString source =
            writeSource("10-a.db", QByteArray("# header comment\n\n") + kGoodRecord +
                                       "link = Home;https://example.com/a;b\n"
                                       "link = Hilfe;https://example.com/help\n"
                                       "example = \"C:\\Program Files\\Acme\\tool.exe\" /min\n"
                                       "example-company = Acme Inc.\n"
                                       "friend = C:\\Tools\\toolbox.exe\n"
                                       "\r\n[record]\r\n"
                                       "  file=svch0st.exe  \r\n"
                                       "company =\r\nname = [!0-9]*\r\nrisk = 1\r\n"
                                       "de = Gefährlich: „Virus“ – C:\\Windows\\\\n\r\n"
                                       "en =\r\n");
        QCOMPARE(refusal({source}, "out"), QString());
        const QString out = m_dir.filePath("out");

        DescriptionDatabase db;
        const qint16 count = loadSearchIndex(out + "/Search.dat", db.searchTable).count;
        QCOMPARE(count, qint16(2));
        QCOMPARE(db.search(1), (SearchRecord{0, "TOOL.EXE*", "ACME*", "*"}));
        QCOMPARE(db.search(2), (SearchRecord{1, "svch0st.exe", "", "[!0-9]*"}));

        QCOMPARE(loadDescriptions(out + "/Des_German.dat", db.descriptionTable, count), QString());
        QCOMPARE(db.description(1).description, QStringLiteral("Startet das Werkzeug für Größeres."));
        QCOMPARE(db.description(1).links, "Home;https://example.com/a;b|Hilfe;https://example.com/help");
        QCOMPARE(db.description(2),
                 (DescriptionRecord{QStringLiteral("Gefährlich: „Virus“ – C:\\Windows\\n"), ""}));

        QCOMPARE(loadDescriptions(out + "/Des_English.dat", db.descriptionTable, count), QString());
        QCOMPARE(db.description(1).description, "Starts the tool.\nTwice.");
        QCOMPARE(db.description(2), DescriptionRecord{});
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("expected"); // "file:line: " prefix plus a piece of the message
        const QByteArray good(kGoodRecord);
        auto replaced = [&](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
        auto row = [](const char* name, const QByteArray& source, const char* expected) {
            QTest::newRow(name) << source << QString::fromUtf8(expected);
        };
        row("malformed line", good + "just words\n", "x.db:8: malformed line");
        row("field before any record", "risk = 0\n" + good, "x.db:1: field outside");
        row("unknown field", good + "vendor = X\n", "x.db:8: unknown field \"vendor\"");
        row("missing field", replaced("name = *\n", ""), "x.db:1: record lacks name");
        row("field twice", good + "file = X\n", "x.db:8: field \"file\" given twice");
        row("reversed range", replaced("name = *", "name = [Z-A]"), "x.db:4: name pattern");
        row("range reversed once upper-cased", replaced("name = *", "name = [Z-a]"), "x.db:4: name pattern");
        row("risk not 0 or 1", replaced("risk = 0", "risk = 2"), "x.db:5: risk must be 0 or 1");
        row("link without semicolon", good + "link = Home\n", "x.db:8: link \"Home\" has no \";\"");
        row("not encodable", replaced("Twice.", "Ω"), "x.db:1: \"en\" description has characters");
        row("unknown language file", replaced("de =", "xx ="), "language \"xx\" has no description file");
        row("record without de", good + "\n" + replaced("de = Startet das Werkzeug für Größeres.\n", ""),
            "x.db:9: record has no \"de\" description");
        row("short name without guard", replaced("TOOL.EXE*\ncompany = ACME*", "GMT.EXE*\ncompany = *"),
            "x.db:1: file pattern \"GMT.EXE*\" names a file of three characters or fewer");
        row("any file without guard", replaced("TOOL.EXE*\ncompany = ACME*", "*\ncompany = *"),
            "x.db:1: file pattern \"*\" matches every program");
        row("plain http link", good + "link = Home;http://example.com/\n", "x.db:8: link \"Home;http://");
        row("same record twice", good + "\n" + good,
            "x.db:9: record can never be the first match: the record at ");
        row("example rates to no record", good + "example = C:\\Tools\\tool.exe /x\n",
            "x.db:8: record at line 1 (file = TOOL.EXE*): example \"C:\\Tools\\tool.exe /x\" rates to no "
            "record");
        row("example rates to an earlier record",
            replaced("company = ACME*\nname = *", "company = *\nname = TOOL*") + "\n" +
                replaced("company = ACME*", "company = *") +
                "example = C:\\Tools\\tool.exe\nexample-name = Toolbar\n",
            "x.db:16: record at line 9 (file = TOOL.EXE*): example \"C:\\Tools\\tool.exe\" rates to the "
            "record at ");
        row("example names no program", good + "example = \"C:\\never closed\n",
            "x.db:8: record at line 1 (file = TOOL.EXE*): example \"\"C:\\never closed\" names no program");
        row("friend rates to the record",
            replaced("company = ACME*", "company = *") + "friend = tool.exe -q\n",
            "x.db:8: record at line 1 (file = TOOL.EXE*): friend \"tool.exe -q\" rates to this record");
        row("empty example", good + "example =\n", "x.db:8: example without a command line");
        row("example company twice", good + "example-company = A\nexample-company = B\n",
            "x.db:9: field \"example-company\" given twice");
        row("text too long", replaced("Starts the tool.\\nTwice.", QByteArray(65536, 'x').constData()),
            "65536 bytes long");
    }
    void refusals() {
        QFETCH(QByteArray, source);
        QFETCH(QString, expected);
        const QString all = refusal({writeSource("x.db", source)}, "refused");
        QVERIFY2(all.contains(expected), qPrintable(all));
        if (expected.startsWith(u'x'))
            QVERIFY2(all.startsWith(QDir(m_dir.path()).filePath(expected.section(u':', 0, 1))),
                     qPrintable(all));
        QVERIFY(!QFile::exists(m_dir.filePath("refused/Search.dat")));
    }

    // Specific records before general ones, guarded short names and extension patterns pass; a
    // general record in an earlier file hides a specific one in a later file, and both are named.
    // Files are read in name order, whatever order they are given in.
    void recordOrderAndGuards() {
        auto record = [](const char* file, const char* company, const char* name) {
            return QByteArray("[record]\nfile = ") + file + "\ncompany = " + company + "\nname = " + name +
                   "\nrisk = 0\nen = x\nde = y\n\n";
        };
        const QString early =
            writeSource("10-early.db", record("UPDATE.EXE*CHAT.EXE*", "*", "*") +
                                           record("UPDATE.EXE*", "*", "*") + record("BOX.EXE*", "BOX*", "*") +
                                           record("AIM*.EXE*", "*", "AIM") + record("*.AHK*", "*", "*"));
        QCOMPARE(refusal({early}, "ordered"), QString());
        const QString late = writeSource("20-late.db", record("X.EXE*", "*", "X*") +
                                                           record("UPDATE.EXE*CHAT.EXE*", "ACME", "*"));
        const QString all = refusal({late, early}, "hidden");
        QCOMPARE(all.count(u'\n'), 0);
        QVERIFY2(all.startsWith(late + ":9: ") && all.contains(early + ":1 "), qPrintable(all));
    }

    void patternCovers_data() {
        QTest::addColumn<QString>("broader");
        QTest::addColumn<QString>("narrower");
        QTest::addColumn<bool>("covers");
        auto row = [](const char* broader, const char* narrower, bool covers) {
            QTest::addRow("%s over %s", broader, narrower) << broader << narrower << covers;
        };
        row("*", "ANY[A-Z]#*", true);
        row("UPDATE.EXE*", "UPDATE.EXE*DISCORD.EXE*", true);
        row("UPDATE.EXE*DISCORD.EXE*", "UPDATE.EXE*", false);
        row("*A*", "*A*A*", true);
        row("*A*A*", "*A*", false);
        row("*.EXE", "*.EXE*", false);
        row("A?C", "A[XY]C", true);
        row("[A-Z]", "[C-FQ]", true);
        row("[!0-9]", "[A-Z]", true);
        row("#", "[0-9]", true);
        row("[0-4]", "#", false);
        row("[a-z]X", "QX", true); // matching upper-cases patterns
    }
    void patternCovers() {
        QFETCH(QString, broader);
        QFETCH(QString, narrower);
        QFETCH(bool, covers);
        QCOMPARE(dbcompiler::patternCovers(patternElements(broader), patternElements(narrower)), covers);
    }

    void coverageReport() {
        const QString a =
            writeSource("10-a.db", QByteArray(kGoodRecord) + "link = Home;https://example.com/\n" +
                                       "example = C:\\Tools\\tool.exe\nexample-company = Acme\n\n" +
                                       QByteArray(kGoodRecord).replace("TOOL", "MORE"));
        const QString b = writeSource("20-b.db", QByteArray(kGoodRecord)
                                                     .replace("ACME*", "*")
                                                     .replace("name = *", "name = RUN*")
                                                     .replace("risk = 0", "risk = 1")
                                                     .replace("en = Starts the tool.\\nTwice.\n", "")
                                                     .append("example = C:\\Tools\\other.exe\n"));
        Diagnostics diagnostics;
        const QString report = dbcompiler::coverageReport(readSources({b, a}, diagnostics));
        QCOMPARE(diagnostics.errors.size(), 1); // b's example
        QCOMPARE(report, QStringLiteral("records: 3\nby source file:\n  10-a.db: 2\n  20-b.db: 1\n"
                                        "by language:\n  de: 3\n  en: 2\nwith links: 1\n"
                                        "with a company guard: 2\nwith an entry-name guard: 1\n"
                                        "with the risk flag: 1\nwith examples: 2\nwith passing examples: 1\n"
                                        "without examples: 1\n"));
    }

    void reportsEveryErrorAndWritesNothing() {
        const QString good = writeSource("a.db", kGoodRecord);
        const QString bad = writeSource("many.db", "[record]\nfile = [\nrisk = 5\nbogus = 1\n");
        // Pattern, risk, unknown field, missing fields, and then no records left to write.
        QCOMPARE(refusal({bad}, "many").count(u'\n') + 1, 5);
        QVERIFY(!refusal({good, bad}, "none").isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath("none/Search.dat")));
    }

    void tooManyRecords() {
        SourceRecord record;
        record.descriptions.insert("en", "x");
        const QList<SourceRecord> records(32768, record);
        CompiledDatabase compiled;
        Diagnostics diagnostics;
        QVERIFY(!compileDatabase(records, compiled, diagnostics));
        QCOMPARE(diagnostics.errors.size(), 1);
        QVERIFY(compileDatabase(records.mid(1), compiled, diagnostics = Diagnostics{}));
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
        // An editor given a .json file is no script host running a .js file.
        EntryRating rating = EntryRating::NoRecord;
        describe(R"("C:\Users\u\AppData\Local\Programs\Microsoft VS Code\Code.exe" settings.json)",
                 "Microsoft Corporation", "Code", &rating);
        QVERIFY(rating != EntryRating::Risk);
        describe(R"(C:\Windows\System32\wscript.exe //B "C:\Users\u\AppData\Roaming\x.js")",
                 "Microsoft Corporation", "x", &rating);
        QCOMPARE(rating, EntryRating::Risk);
    }
};

QTEST_GUILESS_MAIN(DbCompilerTest)
#include "dbcompiler_test.moc"
