// The description database as the program reads and uses it: the two file loaders, the pattern
// matcher and the record lookup.
#include "fixture_bytes.h"
#include "info/description_database.h"
#include "info/entry_rating.h"
#include "info/pattern_match.h"
#include "info/written_program_lookup.h"
#include "platform/command_line.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

// Builders for the little-endian file layout.
QByteArray int16(qint16 value) {
    return QByteArray(1, char(quint16(value) & 0xFF)) + char(quint16(value) >> 8);
}

QByteArray text(const QByteArray& bytes) {
    return int16(qint16(bytes.size())) + bytes;
}

QByteArray searchRecord(qint16 risk, const QByteArray& file, const QByteArray& company,
                        const QByteArray& name) {
    return int16(risk) + text(file) + text(company) + text(name);
}

DescriptionDatabase databaseOf(std::initializer_list<SearchRecord> records) {
    DescriptionDatabase db;
    db.searchTable = records;
    db.descriptionTable = DescriptionTable(db.searchTable.size());
    return db;
}

// The record the window would find for a Run value, the files taken from the line itself.
int rate(const DescriptionDatabase& db, const QString& line, const QString& company, const QString& name) {
    return rateCommandLine(db, line, company, name, writtenProgramLookup(line));
}

void patternRow(const char* name, const char* pattern, const char* text, bool expected) {
    QTest::newRow(name) << QString::fromUtf8(pattern) << QString::fromUtf8(text) << expected;
}

} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        return sw::test::writeBytes(m_dir.filePath(name), bytes);
    }

private slots:
    void shortFilesLeaveMissingFieldsEmpty() {
        // A count of 3 but only one full record and a second cut off after its file pattern.
        const QString path =
            write("Search.dat", int16(3) + searchRecord(1, "X", "Y", "Z") + int16(7) + text("F"));
        SearchTable table;
        const DatabaseLoad index = loadSearchIndex(path, table);
        QVERIFY(index.loaded());
        QCOMPARE(index.count, qint16(3));
        QCOMPARE(table, (SearchTable{{1, "X", "Y", "Z"}, {7, "F", "", ""}, {}}));

        // Fewer descriptions than records, and more.
        const QString des = write("Des_English.dat", text("One") + text("a;b") + text("Two") + text(""));
        DescriptionTable descriptions;
        QCOMPARE(loadDescriptions(des, descriptions, 3), QString());
        QCOMPARE(descriptions, (DescriptionTable{{"One", "a;b"}, {"Two", ""}, {}}));
        QCOMPARE(loadDescriptions(des, descriptions, 1), QString());
        QCOMPARE(descriptions, (DescriptionTable{{"One", "a;b"}}));
    }

    void badCountFailsBothFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("zero") << int16(0) + searchRecord(0, "A", "B", "C");
        QTest::newRow("empty file") << QByteArray();
    }
    void badCountFailsBothFiles() {
        QFETCH(QByteArray, bytes);
        const QString search = write("Search.dat", bytes);
        const QString des = write("Des_English.dat", text("D") + text("L"));
        DescriptionDatabase db;
        db.searchTable = {SearchRecord{1, "OLD", "", ""}};
        const DatabaseLoad index = loadSearchIndex(search, db.searchTable);
        QVERIFY(!index.loaded());
        QCOMPARE(index.count, qint16(0));
        QVERIFY(!loadDescriptions(des, db.descriptionTable, index.count).isEmpty());
        QVERIFY(db.searchTable.isEmpty());
        QVERIFY(db.descriptionTable.isEmpty());
    }

    void missingFilesSayWhy() {
        DescriptionTable descriptions = {{"stale", "x;y"}};
        QVERIFY(!loadDescriptions(m_dir.filePath("Des_French.dat"), descriptions, 2).isEmpty());
        QCOMPARE(descriptions, DescriptionTable(2));
        SearchTable table;
        QVERIFY(!loadSearchIndex(m_dir.filePath("nothing.dat"), table).loaded());
        // A folder where the file should be is just as unreadable.
        QVERIFY(!loadSearchIndex(m_dir.path(), table).loaded());
    }

    // The file pattern sees the program's file name and everything after it; a backslash in the
    // arguments does not move that start. What a known host runs is rated as well.
    void filePartStartsAtTheProgramsName() {
        const auto db = databaseOf({{0, "TOOL.EXE", "*", "*"},
                                    {0, "tool.exe*", "*", "*"},
                                    {0, "X.TXT", "*", "*"},
                                    {0, "TOOL.EXE\" /X", "*", "*"},
                                    {0, "LOGI.DLL,*", "*", "*"}});
        QCOMPARE(rate(db, "C:\\Tools\\tool.exe -auto", "", "Tool"), 2);
        QCOMPARE(rate(db, "C:\\Tools\\tool.exe", "", "Tool"), 1);
        QCOMPARE(rate(db, "C:\\A\\tool.exe /log C:\\B\\x.txt", "", ""), 2);
        QCOMPARE(rate(db, "\"C:\\Program Files\\Tool.exe\" /x", "", ""), 2);
        QCOMPARE(
            rate(databaseOf({{0, "TOOL.EXE\" /X", "*", "*"}}), "\"C:\\Program Files\\Tool.exe\" /x", "", ""),
            1);
        QCOMPARE(rate(db, "rundll32.exe \"C:\\Program Files\\Logi\\logi.dll\",Run", "", ""), 5);
    }

    // The index gives the first match of a plain scan, whatever piece each record is filed under.
    void indexKeepsFirstMatchOrder() {
        const auto db = databaseOf({{0, "*", "*", "NAMED"},
                                    {0, "[A-C]B#*", "*", "*"},
                                    {1, "*XY?Z*", "ACME*", "*"},
                                    {0, "ABCDEF*", "*", "*"},
                                    {0, "AB*", "*", "*"},
                                    {0, "*DEF*", "*", "*"},
                                    {0, "A*", "*", "*"},
                                    {0, "#*", "*", "*"},
                                    {0, "[*", "*", "*"}});
        const QStringList lines = {"ab1.exe", "C:\\abcdef.exe", "abxyqz.exe",
                                   "def.exe", "a.exe",          "9.exe",
                                   "[x.exe",  "zzz.exe",        "rundll32 C:\\x\\ab1.dll"};
        for (const QString& line : lines) {
            for (const char* company : {"", "Acme Inc."}) {
                for (const char* name : {"", "Named"}) {
                    const RatingSubject subject =
                        ratingSubject(parseCommandLine(line, writtenProgramLookup(line)), company, name);
                    QCOMPARE(findRecord(db, subject), findRecordByScan(db, subject));
                }
            }
        }
        QCOMPARE(rate(db, "abxyqz.exe", "Acme Inc.", ""), 3);
        QCOMPARE(rate(db, "abxyqz.exe", "", ""), 5);
    }

    void allThreePatternsMustMatchAndTheFirstWins() {
        const auto db = databaseOf({{1, "APP.EXE", "ACME ?NC*", "UPDATER #"}});
        QCOMPARE(rate(db, "C:\\app.exe", "  Acme Inc.  ", " Updater 2 "), 1);
        QCOMPARE(rate(db, "C:\\app.exe", "Acme Ltd.", "Updater 2"), 0);
        QCOMPARE(rate(db, "C:\\app.exe", "Acme Inc.", "Updater X"), 0);
        QCOMPARE(rate(db, "C:\\other.exe", "Acme Inc.", "Updater 2"), 0);
        // Only blanks are trimmed; a tab is part of the name.
        QCOMPARE(rate(db, "C:\\app.exe", "Acme Inc.", "Updater 2\t"), 0);
        const auto order = databaseOf({{0, "X*", "*", "NOPE"}, {1, "X*", "*", "*"}, {0, "X.EXE", "*", "*"}});
        QCOMPARE(rate(order, "x.exe", "", "Name"), 2);
        QCOMPARE(rate(DescriptionDatabase{}, "x.exe", "", ""), 0);
    }

    void parseLinks_data() {
        QTest::addColumn<QString>("links");
        QTest::addColumn<QList<Link>>("expected");
        QTest::newRow("empty") << "" << QList<Link>{};
        QTest::newRow("address keeps semicolons")
            << "Home;site/b|Help;site/c;x" << QList<Link>{{"Home", "site/b"}, {"Help", "site/c;x"}};
        QTest::newRow("item without semicolon ends the list") << "A;a|broken|C;c" << QList<Link>{{"A", "a"}};
        QTest::newRow("empty parts") << ";|T;" << QList<Link>{{"", ""}, {"T", ""}};
        QTest::newRow("trailing separator") << "A;a|" << QList<Link>{{"A", "a"}};
    }
    void parseLinks() {
        QFETCH(QString, links);
        QFETCH(QList<Link>, expected);
        QCOMPARE(sw::parseLinks(links), expected);
    }

    void matches_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        patternRow("empty pattern, empty text", "", "", true);
        patternRow("empty pattern, any text", "", "A", false);
        patternRow("star matches empty", "*", "", true);
        patternRow("literal is whole text", "TOOL.EXE", "TOOL.EXE -AUTO", false);
        patternRow("trailing star", "TOOL.EXE*", "TOOL.EXE -AUTO", true);
        patternRow("inner star needs suffix", "A*B", "AXXBX", false);
        patternRow("star retries after false start", "*AB", "AAB", true);
        patternRow("two stars", "*ON*EXE", "ONEDRIVE.EXE", true);
        patternRow("question mark is one char", "A?C", "ABC", true);
        patternRow("question mark not empty", "A?C", "AC", false);
        patternRow("hash is a digit", "V##", "V12", true);
        patternRow("range edge", "[A-F]", "F", true);
        patternRow("range and members", "[0-9XY]", "Y", true);
        patternRow("negated list", "[!0-9]", "A", true);
        patternRow("hyphen first is literal", "[-A]", "-", true);
        patternRow("star and hash inside list are literal", "[*#]", "#", true);
        patternRow("list consumes one char only", "[AB]", "AB", false);
        patternRow("unclosed bracket is literal", "[AB", "[AB", true);
        patternRow("lone closing bracket is literal", "A]", "A]", true);
        patternRow("empty list matches nothing", "[]", "A", false);
        patternRow("negated empty list is any char", "[!]", "A", true);
        patternRow("reversed range matches nothing", "[Z-A]", "M", false);
        patternRow("case is compared by code", "tool", "TOOL", false);
        patternRow("quotes and blanks are ordinary", "\"X Y\"*", "\"X Y\" /Q", true);
    }
    void matches() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(matchesPattern(text, pattern), expected);
    }

    // Exponential backtracking would not finish these within the test's time limit.
    void starsDoNotBacktrackExponentially() {
        const QString pattern = QString("*A").repeated(40) + "*B";
        const QString text = QString(u'A').repeated(20000);
        QVERIFY(!matchesPattern(text, pattern));
        QVERIFY(matchesPattern(text + u'B', pattern));
        QVERIFY(!matchesPattern(text, QString(u'*').repeated(5000) + u'B'));
    }

    void foldsCaseCharacterByCharacter() {
        QCOMPARE(sw::toPatternCase(QStringLiteral("straße äö [a-z]")), QStringLiteral("STRAßE ÄÖ [A-Z]"));
        // Folding on the fly agrees with folding first, inside lists and ranges too.
        for (const char* pattern : {"tool.[d-f]x?", "*ä[!a-c]#", "[a-Z]", "[z-a]"}) {
            for (const char* text : {"TOOL.EXE", "XÄD1", "M", "B"}) {
                const QString p = QString::fromUtf8(pattern);
                const QString t = QString::fromUtf8(text);
                QCOMPARE(matchesPattern(t, p, sw::PatternCase::Upper),
                         matchesPattern(t, sw::toPatternCase(p)));
            }
        }
        QVERIFY(matchesPattern(u"TOOL.EXE", u"tool.[d-f]x?", sw::PatternCase::Upper));
    }

    void problems_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("fine");
        QTest::newRow("lists") << "[A-Z][!0-9][-X]#?*" << true;
        QTest::newRow("negated empty list") << "[!]" << true;
        QTest::newRow("unclosed") << "[A-Z" << false;
        QTest::newRow("unclosed after list") << "[A][B" << false;
        QTest::newRow("empty list") << "X[]" << false;
    }
    void problems() {
        QFETCH(QString, pattern);
        QFETCH(bool, fine);
        QCOMPARE(sw::patternProblem(pattern).isEmpty(), fine);
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "database_test.moc"
