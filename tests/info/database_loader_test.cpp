#include "info/description_database.h"
#include "platform/testing/scripted_message_boxes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

// Builders for the little-endian file layout.
QByteArray int16(qint16 value) {
    QByteArray bytes;
    bytes.append(char(quint16(value) & 0xFF));
    bytes.append(char(quint16(value) >> 8));
    return bytes;
}

QByteArray text(const QByteArray& bytes) {
    return int16(qint16(bytes.size())) + bytes;
}

QByteArray searchRecord(qint16 risk, const QByteArray& file, const QByteArray& company,
                        const QByteArray& name) {
    return int16(risk) + text(file) + text(company) + text(name);
}

} // namespace

class DatabaseLoaderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadsRecordsInOrder();
    void shortSearchIndexLeavesMissingFieldsEmpty();
    void lengthPastEndReadsAsEmpty();
    void badCountShowsTwoMessages_data();
    void badCountShowsTwoMessages();
    void missingDescriptionFileLeavesEmptyRecords();
    void fewerAndSurplusDescriptions();
    void missingSearchIndex();
    void decodesWindows1252();
    void accessorsAreOneBased();

private:
    QString write(const QString& name, const QByteArray& bytes);
    void verifyErrorBox(qsizetype index);

    QTemporaryDir m_dir;
    ScriptedMessageBoxes m_boxes;
};

void DatabaseLoaderTest::init() {
    m_boxes = ScriptedMessageBoxes();
}

QString DatabaseLoaderTest::write(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void DatabaseLoaderTest::verifyErrorBox(qsizetype index) {
    QVERIFY(m_boxes.shown().size() > index);
    const auto& box = m_boxes.shown().at(index);
    QVERIFY2(box.text.startsWith(QStringLiteral("Error: ")) && box.text.size() > 7, qPrintable(box.text));
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.icon, MessageIcon::Critical);
    QCOMPARE(box.buttons, MessageButtons::Ok);
}

void DatabaseLoaderTest::loadsRecordsInOrder() {
    const QString search = write("Search.dat", int16(2) + searchRecord(0, "A.EXE*", "", "*") +
                                                   searchRecord(-3, "B.EXE", "ACME*", "B"));
    const QString des = write("Des_English.dat", text("First") + text("Home;a") + text("") + text(""));
    DescriptionDatabase db;
    QCOMPARE(LoadSearchIndex(search, db.searchTable, m_boxes), qint16(2));
    LoadDescriptions(des, db.descriptionTable, 2, m_boxes);
    QVERIFY(m_boxes.shown().isEmpty());
    QCOMPARE(db.search(1), (SearchRecord{0, "A.EXE*", "", "*"}));
    QCOMPARE(db.search(2), (SearchRecord{-3, "B.EXE", "ACME*", "B"}));
    QCOMPARE(db.description(1), (DescriptionRecord{"First", "Home;a"}));
    QCOMPARE(db.description(2), DescriptionRecord{});
}

void DatabaseLoaderTest::shortSearchIndexLeavesMissingFieldsEmpty() {
    // A count of 3 but only one full record and a second cut off after its file pattern.
    const QString path =
        write("Search.dat", int16(3) + searchRecord(1, "X", "Y", "Z") + int16(7) + text("F"));
    SearchTable table;
    QCOMPARE(LoadSearchIndex(path, table, m_boxes), qint16(3));
    QVERIFY(m_boxes.shown().isEmpty());
    QCOMPARE(table.size(), 3);
    QCOMPARE(table[0], (SearchRecord{1, "X", "Y", "Z"}));
    QCOMPARE(table[1], (SearchRecord{7, "F", "", ""}));
    QCOMPARE(table[2], SearchRecord{});
}

void DatabaseLoaderTest::lengthPastEndReadsAsEmpty() {
    // The company's length claims 60000 bytes; only three follow. A lone trailing byte cannot
    // hold a risk flag either.
    const QString search = write("Search.dat", int16(2) + int16(1) + text("F") + int16(-5536) + "abc");
    SearchTable table;
    QCOMPARE(LoadSearchIndex(search, table, m_boxes), qint16(2));
    QCOMPARE(table[0], (SearchRecord{1, "F", "", ""}));
    QCOMPARE(table[1], SearchRecord{});

    const QString des = write("Des_English.dat", text("D") + QByteArray(1, '\xff'));
    DescriptionTable descriptions;
    LoadDescriptions(des, descriptions, 2, m_boxes);
    QCOMPARE(descriptions, (DescriptionTable{{"D", ""}, {}}));
    QVERIFY(m_boxes.shown().isEmpty());
}

void DatabaseLoaderTest::badCountShowsTwoMessages_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("zero") << int16(0) + searchRecord(0, "A", "B", "C");
    QTest::newRow("negative") << int16(-1) + searchRecord(0, "A", "B", "C");
    QTest::newRow("empty file") << QByteArray();
}

void DatabaseLoaderTest::badCountShowsTwoMessages() {
    QFETCH(QByteArray, bytes);
    const QString search = write("Search.dat", bytes);
    const QString des = write("Des_English.dat", text("D") + text("L"));
    DescriptionDatabase db;
    db.searchTable = {SearchRecord{1, "OLD", "", ""}};
    const qint16 count = LoadSearchIndex(search, db.searchTable, m_boxes);
    LoadDescriptions(des, db.descriptionTable, count, m_boxes);
    QCOMPARE(count, qint16(0));
    QCOMPARE(m_boxes.shown().size(), 2);
    verifyErrorBox(0);
    verifyErrorBox(1);
    QVERIFY(db.searchTable.isEmpty());
    QVERIFY(db.descriptionTable.isEmpty());
}

void DatabaseLoaderTest::missingDescriptionFileLeavesEmptyRecords() {
    write("Des_German.dat", text("Beschreibung") + text(""));
    DescriptionTable table = {{"stale", "x;y"}};
    LoadDescriptions(m_dir.filePath("Des_French.dat"), table, 2, m_boxes);
    QCOMPARE(m_boxes.shown().size(), 1);
    verifyErrorBox(0);
    QCOMPARE(table, DescriptionTable(2));
}

void DatabaseLoaderTest::fewerAndSurplusDescriptions() {
    const QByteArray records = text("One") + text("a;b") + text("Two") + text("");
    const QString path = write("Des_English.dat", records);
    DescriptionTable table;
    LoadDescriptions(path, table, 3, m_boxes);
    QCOMPARE(table, (DescriptionTable{{"One", "a;b"}, {"Two", ""}, {}}));
    LoadDescriptions(path, table, 1, m_boxes);
    QCOMPARE(table, (DescriptionTable{{"One", "a;b"}}));
    QVERIFY(m_boxes.shown().isEmpty());
}

void DatabaseLoaderTest::missingSearchIndex() {
    SearchTable table;
    QCOMPARE(LoadSearchIndex(m_dir.filePath("nothing.dat"), table, m_boxes), qint16(0));
    QCOMPARE(m_boxes.shown().size(), 1);
    verifyErrorBox(0);
    // A folder where the file should be is just as unreadable.
    QCOMPARE(LoadSearchIndex(m_dir.path(), table, m_boxes), qint16(0));
    QCOMPARE(m_boxes.shown().size(), 2);
    verifyErrorBox(1);
}

void DatabaseLoaderTest::decodesWindows1252() {
    const QByteArray bytes("\xe4\xf6\xfc\xdf \x80 \x93x\x94 \x81");
    QCOMPARE(decodeWindows1252(bytes), QStringLiteral("äöüß € “x” \u0081"));
    QByteArray encoded;
    QVERIFY(encodeWindows1252(QStringLiteral("äöüß € “x”"), encoded));
    QCOMPARE(encoded, QByteArray("\xe4\xf6\xfc\xdf \x80 \x93x\x94"));
    QVERIFY(!encodeWindows1252(QStringLiteral("Ω"), encoded));
    QVERIFY(!encodeWindows1252(QStringLiteral("\u0081"), encoded));
}

void DatabaseLoaderTest::accessorsAreOneBased() {
    DescriptionDatabase db;
    db.searchTable = {SearchRecord{0, "A", "", ""}, SearchRecord{1, "B", "", ""}};
    db.descriptionTable = {DescriptionRecord{"a", ""}};
    QCOMPARE(db.count(), 2);
    QCOMPARE(db.search(2).filePattern, QStringLiteral("B"));
    QCOMPARE(db.description(1).description, QStringLiteral("a"));
    QCOMPARE(db.description(2), DescriptionRecord{});
    QCOMPARE(db.description(0), DescriptionRecord{});
}

QTEST_GUILESS_MAIN(DatabaseLoaderTest)
#include "database_loader_test.moc"
