#include "db_writer.h"
#include "info/description_database.h"
#include "platform/testing/scripted_message_boxes.h"

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

private slots:
    void roundTrip();
    void readsFilesInNameOrder();
    void refusals_data();
    void refusals();
    void reportsEveryError();
    void languagesMustBeComplete();
    void tooLongText();
    void tooManyRecords();
    void nothingWrittenOnError();

private:
    QString writeSource(const QString& name, const QByteArray& content);
    QTemporaryDir m_dir;
};

QString DbCompilerTest::writeSource(const QString& name, const QByteArray& content) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void DbCompilerTest::roundTrip() {
    const QString source = writeSource("10-a.db", QByteArray("# header comment\n\n") + kGoodRecord +
                                                      "link = Home;https://example.com/a;b\n"
                                                      "link = Hilfe;https://example.com/help\n"
                                                      "\r\n[record]\r\n"
                                                      "  file=svch0st.exe  \r\n"
                                                      "company =\r\nname = [!0-9]*\r\nrisk = 1\r\n"
                                                      "de = Gefährlich: „Virus“ – C:\\Windows\\\\n\r\n"
                                                      "en =\r\n");
    const QString out = m_dir.filePath("out");
    Diagnostics diagnostics;
    QVERIFY2(compileSources({source}, out, diagnostics), qPrintable(diagnostics.errors.join(u'\n')));

    ScriptedMessageBoxes boxes;
    DescriptionDatabase db;
    const qint16 count = LoadSearchIndex(out + "/Search.dat", db.searchTable, boxes);
    QCOMPARE(count, qint16(2));
    QCOMPARE(db.search(1), (SearchRecord{0, "TOOL.EXE*", "ACME*", "*"}));
    QCOMPARE(db.search(2), (SearchRecord{1, "svch0st.exe", "", "[!0-9]*"}));

    LoadDescriptions(out + "/Des_German.dat", db.descriptionTable, count, boxes);
    QCOMPARE(db.description(1).description, QStringLiteral("Startet das Werkzeug für Größeres."));
    QCOMPARE(db.description(1).links,
             QStringLiteral("Home;https://example.com/a;b|Hilfe;https://example.com/help"));
    QCOMPARE(db.description(2),
             (DescriptionRecord{QStringLiteral("Gefährlich: „Virus“ – C:\\Windows\\n"), ""}));

    LoadDescriptions(out + "/Des_English.dat", db.descriptionTable, count, boxes);
    QCOMPARE(db.description(1).description, QStringLiteral("Starts the tool.\nTwice."));
    QCOMPARE(db.description(2), DescriptionRecord{});
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(QFile::exists(out + "/Search.dat"));
}

void DbCompilerTest::readsFilesInNameOrder() {
    const QByteArray second = QByteArray(kGoodRecord).replace("TOOL.EXE*", "SECOND.EXE");
    const QString b = writeSource("20-b.db", second);
    const QString a = writeSource("05-a.db", kGoodRecord);
    const QString out = m_dir.filePath("order");
    Diagnostics diagnostics;
    QVERIFY(compileSources({b, a}, out, diagnostics));
    ScriptedMessageBoxes boxes;
    SearchTable table;
    QCOMPARE(LoadSearchIndex(out + "/Search.dat", table, boxes), qint16(2));
    QCOMPARE(table[0].filePattern, QStringLiteral("TOOL.EXE*"));
    QCOMPARE(table[1].filePattern, QStringLiteral("SECOND.EXE"));
}

void DbCompilerTest::refusals_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("expected"); // "file:line: " prefix plus a piece of the message

    const QByteArray good(kGoodRecord);
    auto replaced = [&](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
    QTest::newRow("malformed line") << good + "just words\n"
                                    << "x.db:8: malformed line";
    QTest::newRow("section other than record") << "[entry]\n" + good << "x.db:1: malformed line";
    QTest::newRow("field before any record") << "risk = 0\n" + good << "x.db:1: field outside";
    QTest::newRow("unknown field") << good + "vendor = X\n"
                                   << "x.db:8: unknown field \"vendor\"";
    QTest::newRow("language code of three letters") << good + "eng = X\n"
                                                    << "x.db:8: unknown field";
    QTest::newRow("missing field") << replaced("name = *\n", "") << "x.db:1: record lacks name";
    QTest::newRow("field twice") << good + "file = X\n"
                                 << "x.db:8: field \"file\" given twice";
    QTest::newRow("unbalanced bracket") << replaced("ACME*", "[ACME") << "x.db:3: company pattern";
    QTest::newRow("reversed range") << replaced("name = *", "name = [Z-A]") << "x.db:4: name pattern";
    QTest::newRow("range reversed once upper-cased")
        << replaced("name = *", "name = [Z-a]") << "x.db:4: name pattern";
    QTest::newRow("empty list") << replaced("TOOL.EXE*", "TOOL[].EXE") << "x.db:2: file pattern";
    QTest::newRow("risk not 0 or 1") << replaced("risk = 0", "risk = 2") << "x.db:5: risk must be 0 or 1";
    QTest::newRow("link without semicolon") << good + "link = Home\n"
                                            << "x.db:8: link \"Home\" has no \";\"";
    QTest::newRow("link with bar") << good + "link = A;b|c\n"
                                   << "x.db:8: link";
    QTest::newRow("not encodable") << replaced("Twice.", "Ω") << "x.db:1: \"en\" description has characters";
    QTest::newRow("unknown language file")
        << replaced("de =", "xx =") << "language \"xx\" has no description file";
    QTest::newRow("no records") << QByteArray("# empty\n") << "no records";
}

void DbCompilerTest::refusals() {
    QFETCH(QByteArray, source);
    QFETCH(QString, expected);
    const QString path = writeSource("x.db", source);
    Diagnostics diagnostics;
    QVERIFY(!compileSources({path}, m_dir.filePath("refused"), diagnostics));
    const QString all = diagnostics.errors.join(u'\n');
    QVERIFY2(all.contains(expected), qPrintable(all));
    if (expected.startsWith(u'x'))
        QVERIFY2(all.startsWith(QDir(m_dir.path()).filePath(expected.section(u':', 0, 1))), qPrintable(all));
}

void DbCompilerTest::reportsEveryError() {
    const QString path = writeSource("many.db", "[record]\nfile = [\nrisk = 5\nbogus = 1\n");
    Diagnostics diagnostics;
    QVERIFY(!compileSources({path}, m_dir.filePath("many"), diagnostics));
    // Pattern, risk, unknown field, missing fields, and then no records left to write.
    QCOMPARE(diagnostics.errors.size(), 5);
}

void DbCompilerTest::languagesMustBeComplete() {
    const QByteArray onlyEnglish =
        QByteArray(kGoodRecord).replace("de = Startet das Werkzeug für Größeres.\n", "");
    const QString path = writeSource("lang.db", QByteArray(kGoodRecord) + "\n" + onlyEnglish);
    Diagnostics diagnostics;
    QVERIFY(!compileSources({path}, m_dir.filePath("lang"), diagnostics));
    QCOMPARE(diagnostics.errors, QStringList{path + ":9: record has no \"de\" description"});
}

void DbCompilerTest::tooLongText() {
    const QByteArray longText = "en = " + QByteArray(65536, 'x') + "\n";
    const QString path =
        writeSource("long.db", QByteArray(kGoodRecord).replace("en = Starts the tool.\\nTwice.\n", longText));
    Diagnostics diagnostics;
    QVERIFY(!compileSources({path}, m_dir.filePath("long"), diagnostics));
    QVERIFY2(diagnostics.errors.join(u'\n').contains("65536 bytes long"),
             qPrintable(diagnostics.errors.join(u'\n')));
}

void DbCompilerTest::tooManyRecords() {
    SourceRecord record;
    record.descriptions.insert("en", "x");
    const QList<SourceRecord> records(32768, record);
    CompiledDatabase compiled;
    Diagnostics diagnostics;
    QVERIFY(!compileDatabase(records, compiled, diagnostics));
    QCOMPARE(diagnostics.errors.size(), 1);
    QVERIFY(compileDatabase(records.mid(1), compiled, diagnostics = Diagnostics{}));
}

void DbCompilerTest::nothingWrittenOnError() {
    const QString good = writeSource("a.db", kGoodRecord);
    const QString bad = writeSource("b.db", "[record]\n");
    const QString out = m_dir.filePath("none");
    Diagnostics diagnostics;
    QVERIFY(!compileSources({good, bad}, out, diagnostics));
    QVERIFY(!QFile::exists(out + "/Search.dat"));
}

QTEST_GUILESS_MAIN(DbCompilerTest)
#include "dbcompiler_test.moc"
