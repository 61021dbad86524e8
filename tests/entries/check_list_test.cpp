#include "entries/check_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {
AutostartEntry row(const QString& program) {
    AutostartEntry entry;
    entry.program = program;
    return entry;
}
} // namespace

class CheckListTest : public QObject {
    Q_OBJECT
private slots:
    void writtenListUnghostsWhatItNamesAtTheNextStart() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Check.dat");
        QVERIFY(
            writeCheckList(path, {row("C:\\a.exe /x"), row("C:\\Müller\\b.exe"), row("same"), row("same")}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("C:\\a.exe /x\r\nC:\\M\xc3\xbcller\\b.exe\r\nsame\r\nsame\r\n"));

        QList<AutostartEntry> rows = {row("c:\\A.EXE /X"), row("C:\\new.exe"), row("C:\\müller\\b.exe"),
                                      row("same"), row("same")};
        applyCheckList(path, rows);
        QVERIFY(!rows[0].ghosted); // case does not matter
        QVERIFY(rows[1].ghosted);  // not recorded: new since the last exit
        QVERIFY(!rows[2].ghosted);
        // Each line unghosts the first row it matches, even one already unghosted.
        QVERIFY(!rows[3].ghosted && rows[4].ghosted);
    }

    void missingListGhostsNothingAndEmptyListWritesNothing() {
        QTemporaryDir dir;
        QList<AutostartEntry> rows = {row("x")};
        applyCheckList(dir.filePath("missing.dat"), rows);
        QVERIFY(!rows[0].ghosted);
        QVERIFY(writeCheckList(dir.filePath("empty.dat"), {}));
        QCOMPARE(QFileInfo(dir.filePath("empty.dat")).size(), 0);
    }

    void longLinesAndUnwritableFolders() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Check.dat");
        const QString huge(200000, QLatin1Char('x'));
        QVERIFY(writeCheckList(path, {row(huge), row("short")}));
        QList<AutostartEntry> rows = {row("short"), row(huge)};
        applyCheckList(path, rows);
        QVERIFY(!rows[0].ghosted && !rows[1].ghosted);

        // A folder that cannot be written keeps the old list whole.
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFile(dir.filePath("probe")).open(QIODevice::WriteOnly))
            QSKIP("running with rights that ignore folder permissions");
        QVERIFY(!writeCheckList(path, {row("replaced")}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(huge.toUtf8()));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(CheckListTest)
#include "check_list_test.moc"
