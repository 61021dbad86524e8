#include "info/description_database.h"
#include "scripted_message_boxes.h"

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

} // namespace

class DatabaseLoaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedMessageBoxes m_boxes;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Every box shown so far is the plain error box, `count` of them.
    void verifyErrorBoxes(qsizetype count) {
        QCOMPARE(m_boxes.shown().size(), count);
        for (const auto& box : m_boxes.shown()) {
            QVERIFY2(box.text.startsWith(QStringLiteral("Error: ")) && box.text.size() > 7,
                     qPrintable(box.text));
            QCOMPARE(box.title, QStringLiteral("Error"));
            QCOMPARE(box.icon, MessageIcon::Critical);
            QCOMPARE(box.buttons, MessageButtons::Ok);
        }
    }

private slots:
    void init() { m_boxes = ScriptedMessageBoxes(); }

    void loadsRecordsInOrder() {
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
        QCOMPARE(db.description(0), DescriptionRecord{});
    }

    void shortFilesLeaveMissingFieldsEmpty() {
        // A count of 3 but only one full record and a second cut off after its file pattern.
        const QString path =
            write("Search.dat", int16(3) + searchRecord(1, "X", "Y", "Z") + int16(7) + text("F"));
        SearchTable table;
        QCOMPARE(LoadSearchIndex(path, table, m_boxes), qint16(3));
        QCOMPARE(table, (SearchTable{{1, "X", "Y", "Z"}, {7, "F", "", ""}, {}}));

        // Fewer descriptions than records, and more.
        const QString des = write("Des_English.dat", text("One") + text("a;b") + text("Two") + text(""));
        DescriptionTable descriptions;
        LoadDescriptions(des, descriptions, 3, m_boxes);
        QCOMPARE(descriptions, (DescriptionTable{{"One", "a;b"}, {"Two", ""}, {}}));
        LoadDescriptions(des, descriptions, 1, m_boxes);
        QCOMPARE(descriptions, (DescriptionTable{{"One", "a;b"}}));
        QVERIFY(m_boxes.shown().isEmpty());
    }

    void badCountShowsTwoMessages_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("zero") << int16(0) + searchRecord(0, "A", "B", "C");
        QTest::newRow("empty file") << QByteArray();
    }
    void badCountShowsTwoMessages() {
        QFETCH(QByteArray, bytes);
        const QString search = write("Search.dat", bytes);
        const QString des = write("Des_English.dat", text("D") + text("L"));
        DescriptionDatabase db;
        db.searchTable = {SearchRecord{1, "OLD", "", ""}};
        const qint16 count = LoadSearchIndex(search, db.searchTable, m_boxes);
        LoadDescriptions(des, db.descriptionTable, count, m_boxes);
        QCOMPARE(count, qint16(0));
        verifyErrorBoxes(2);
        QVERIFY(db.searchTable.isEmpty());
        QVERIFY(db.descriptionTable.isEmpty());
    }

    void missingFilesShowOneMessageEach() {
        write("Des_German.dat", text("Beschreibung") + text(""));
        DescriptionTable descriptions = {{"stale", "x;y"}};
        LoadDescriptions(m_dir.filePath("Des_French.dat"), descriptions, 2, m_boxes);
        verifyErrorBoxes(1);
        QCOMPARE(descriptions, DescriptionTable(2));
        SearchTable table;
        QCOMPARE(LoadSearchIndex(m_dir.filePath("nothing.dat"), table, m_boxes), qint16(0));
        verifyErrorBoxes(2);
        // A folder where the file should be is just as unreadable.
        QCOMPARE(LoadSearchIndex(m_dir.path(), table, m_boxes), qint16(0));
        verifyErrorBoxes(3);
    }

    void windows1252() {
        QCOMPARE(decodeWindows1252("\xe4\xdf \x80 \x93x\x94 \x81"), QStringLiteral("äß € “x” \u0081"));
        QByteArray encoded;
        QVERIFY(!encodeWindows1252(QStringLiteral("Ω"), encoded));
        QVERIFY(!encodeWindows1252(QStringLiteral("\u0081"), encoded));
    }
};

QTEST_GUILESS_MAIN(DatabaseLoaderTest)
#include "database_loader_test.moc"
