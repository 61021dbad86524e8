#include "pe_test_files.h"
#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_resources.h"
#include "platform/wine/pe_version.h"
#include "temp_prefix.h"

#include <QBuffer>
#include <QImageReader>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;
using sw::test::fileBytes;
using sw::test::fixture;
using sw::test::runTool;

namespace {

const QString kWindres = "x86_64-w64-mingw32-windres";
const QString kGcc = "x86_64-w64-mingw32-gcc";

} // namespace

// PE files made here with mingw-w64 from resource scripts, for cases the fixtures do not have.
class PeBuiltTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    // Builds an .exe from a resource script body; empty on failure.
    QByteArray build(const QByteArray& resources) {
        const QString base = QStringLiteral("t%1").arg(++m_count);
        QFile rc(m_dir.filePath(base + ".rc"));
        if (!rc.open(QIODevice::WriteOnly))
            return {};
        rc.write("#pragma code_page(65001)\n" + resources);
        rc.close();
        if (runTool(kWindres, {base + ".rc", "-O", "coff", "-o", base + ".o"}, m_dir.path()).isNull() ||
            runTool(kGcc, {"-s", "-o", base + ".exe", "main.c", base + ".o"}, m_dir.path()).isNull())
            return {};
        return fileBytes(m_dir.filePath(base + ".exe"));
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(kWindres).isEmpty() ||
            QStandardPaths::findExecutable(kGcc).isEmpty())
            QSKIP("mingw-w64 (x86_64-w64-mingw32-windres and -gcc) is not installed");
        QVERIFY(m_dir.isValid());
        QFile main(m_dir.filePath("main.c"));
        QVERIFY(main.open(QIODevice::WriteOnly));
        main.write("int main(void) { return 0; }\n");
    }

    void translationPicksTable_data() {
        QTest::addColumn<QByteArray>("translation");
        QTest::addColumn<QString>("company");
        QTest::newRow("first pair, second table")
            << QByteArray("0x407, 0x4E4, 0x409, 1200") << "Zweite Tabelle";
        QTest::newRow("first pair without a table") << QByteArray("0x40C, 1252, 0x409, 1200") << "";
        QTest::newRow("lower-case table name") << QByteArray("0x409, 1200") << "First Table";
        QTest::newRow("language from 0x8000") << QByteArray("0x8001, 0x4E4") << "High Language";
    }

    void translationPicksTable() {
        QFETCH(QByteArray, translation);
        QFETCH(QString, company);
        const QString longValue(300, u'x');
        const QByteArray exe =
            build("1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n"
                  "  BLOCK \"040904b0\"\n  BEGIN\n   VALUE \"CompanyName\", \"First Table\"\n  END\n"
                  "  BLOCK \"040704E4\"\n  BEGIN\n   VALUE \"CompanyName\", \"Zweite Tabelle\"\n"
                  "   VALUE \"Comments\", \"" +
                  longValue.toLatin1() +
                  "\"\n  END\n"
                  "  BLOCK \"800104E4\"\n  BEGIN\n   VALUE \"CompanyName\", \"High Language\"\n  END\n"
                  " END\n BLOCK \"VarFileInfo\"\n BEGIN\n  VALUE \"Translation\", " +
                  translation + "\n END\nEND\n");
        QVERIFY(!exe.isEmpty());
        QCOMPARE(readVersionText(exe, "CompanyName"), company);
        if (translation.startsWith("0x407")) // values are not cut at a fixed length
            QCOMPARE(readVersionText(exe, "Comments"), longValue);
    }

    void namedGroupComesFirst() {
        const QString icons = m_dir.filePath("big.ico");
        if (runTool("icotool", {"-c", "-o", icons, fixture("img48.png")}).isNull())
            QSKIP("icotool (icoutils) is not installed");
        // Named entries precede IDs in the directory, whatever the script's order.
        const QByteArray exe =
            build("1 ICON \"" + fixture("app.ico").toUtf8() + "\"\nZMAIN ICON \"" + icons.toUtf8() + "\"\n");
        QVERIFY(!exe.isEmpty());
        const PeResources pe(exe);
        QCOMPARE(pe.firstName(kResourceGroupIcon)->text, "ZMAIN");
        QByteArray ico = rebuildFirstIconGroup(pe);
        QCOMPARE(ico, fileBytes(icons));
        QCOMPARE(readIconImage(exe, 32).pixmap(32).size(), QSize(32, 32)); // scaled down from 48
        QCOMPARE(readVersionText(exe, "CompanyName"), QString());          // no version resource
    }
};

QTEST_MAIN(PeBuiltTest)
#include "pe_built_test.moc"
