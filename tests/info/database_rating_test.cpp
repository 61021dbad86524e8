#include "info/description_database.h"
#include "info/entry_rating.h"

#include <QTest>

using namespace sw;

namespace {

DescriptionDatabase databaseOf(std::initializer_list<SearchRecord> records) {
    DescriptionDatabase db;
    db.searchTable = records;
    db.descriptionTable = DescriptionTable(db.searchTable.size());
    return db;
}

} // namespace

class DatabaseRatingTest : public QObject {
    Q_OBJECT

private slots:
    // The file pattern sees the text after the last backslash, arguments included.
    void filePartKeepsArgumentsAfterLastBackslash() {
        const auto db =
            databaseOf({{0, "TOOL.EXE", "*", "*"}, {0, "tool.exe*", "*", "*"}, {0, "X.TXT", "*", "*"}});
        QCOMPARE(findRecord(db, "C:\\Tools\\tool.exe -auto", "", "Tool"), 2);
        QCOMPARE(findRecord(db, "C:\\Tools\\tool.exe", "", "Tool"), 1);
        QCOMPARE(findRecord(db, "C:\\A\\tool.exe /log C:\\B\\x.txt", "", ""), 3);
        const auto quoted = databaseOf({{0, "TOOL.EXE\" /X", "*", "*"}});
        QCOMPARE(findRecord(quoted, "\"C:\\Program Files\\Tool.exe\" /x", "", ""), 1);
    }

    void allThreePatternsMustMatchAndTheFirstWins() {
        const auto db = databaseOf({{1, "APP.EXE", "ACME ?NC*", "UPDATER #"}});
        QCOMPARE(findRecord(db, "C:\\app.exe", "  Acme Inc.  ", " Updater 2 "), 1);
        QCOMPARE(findRecord(db, "C:\\app.exe", "Acme Ltd.", "Updater 2"), 0);
        QCOMPARE(findRecord(db, "C:\\app.exe", "Acme Inc.", "Updater X"), 0);
        QCOMPARE(findRecord(db, "C:\\other.exe", "Acme Inc.", "Updater 2"), 0);
        // Only blanks are trimmed; a tab is part of the name.
        QCOMPARE(findRecord(db, "C:\\app.exe", "Acme Inc.", "Updater 2\t"), 0);
        const auto order = databaseOf({{0, "X*", "*", "NOPE"}, {1, "X*", "*", "*"}, {0, "X.EXE", "*", "*"}});
        QCOMPARE(findRecord(order, "x.exe", "", "Name"), 2);
        QCOMPARE(findRecord(DescriptionDatabase{}, "x.exe", "", ""), 0);
    }

    void ratingOfRecord() {
        const auto db = databaseOf({{0, "A", "", ""}, {-2, "B", "", ""}});
        QCOMPARE(sw::ratingOfRecord(db, 0), EntryRating::NoRecord);
        QCOMPARE(sw::ratingOfRecord(db, 1), EntryRating::Normal);
        QCOMPARE(sw::ratingOfRecord(db, 2), EntryRating::Risk);
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
};

QTEST_APPLESS_MAIN(DatabaseRatingTest)
#include "database_rating_test.moc"
