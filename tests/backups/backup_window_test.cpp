// The backups window on real prefixes, alone and opened from the main window's toolbar.
#include "backups/backup_window.h"
#include "main_window_fixture.h"
#include "platform/wine/wine_platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace sw;
using sw::test::TempPrefix;

namespace {

QStringList column(const QTreeWidget* list, int index) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(index);
    return texts;
}

void click(QTreeWidget* list, QTreeWidgetItem* item) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

} // namespace

class BackupWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensDisabledSortsAndReportsWhatItCannotRead() {
        // Two of the four backup keys exist; the other two cannot be enumerated.
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::backupSection("HKEY_CU\\Run", "\"a\"=\"C:\\\\a.exe\"\n") +
                                  TempPrefix::backupSection("HKEY_LM\\Run", "\"c\"=\"C:\\\\c.exe\"\n"));
        QTemporaryDir data;
        QVERIFY(QDir().mkpath(data.filePath("Backups/Startmenu/Local User")));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"),
                            data.filePath("Backups/Startmenu/Local User/b.lnk")));
        const Platform platform = makeWinePlatform(prefix.path());
        LanguageTexts texts;
        ScriptedMessageBoxes boxes;
        frmBackup window({platform, texts, boxes, data.path()});

        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown()[0].text, texts.GetText("MsgErrNoPrivileges"));
        QCOMPARE(boxes.shown()[0].icon, MessageIcon::Exclamation);
        QCOMPARE(window.windowTitle(), texts.GetText("BackupWinTit"));
        QCOMPARE(window.lvwBackups->headerItem()->text(2), texts.GetText("place"));
        QCOMPARE(column(window.lvwBackups, 0), QStringList({"b.lnk", "a", "c"}));
        QVERIFY(!window.cmdRestore->isEnabled() && !window.cmdDelete->isEnabled());

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.lvwBackups->hasFocus());
        QHeaderView* header = window.lvwBackups->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        QCOMPARE(column(window.lvwBackups, 0), QStringList({"c", "a", "b.lnk"}));
        window.lvwBackups_ColumnClick(2);
        QCOMPARE(column(window.lvwBackups, 0), QStringList({"b.lnk", "a", "c"}));
        window.lvwBackups_ColumnClick(0);
        QCOMPARE(column(window.lvwBackups, 0), QStringList({"a", "b.lnk", "c"}));

        click(window.lvwBackups, window.lvwBackups->topLevelItem(1));
        QVERIFY(window.cmdRestore->isEnabled() && window.cmdDelete->isEnabled());

        // A copy that fails: one sentence, and the backup stays listed. The sort order survives.
        QVERIFY(QDir(prefix.userStartupFolder()).removeRecursively());
        boxes.enqueue(MessageAnswer::Yes);
        window.cmdRestore->click();
        QCOMPARE(boxes.shown().size(), 6); // question, failure, the two unreadable keys again
        QCOMPARE(boxes.shown()[3].text, texts.textForEntry("MsgRestoreFailed", "b.lnk"));
        QCOMPARE(column(window.lvwBackups, 0), QStringList({"a", "b.lnk", "c"}));

        QTest::keyClick(window.lvwBackups, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }

    // Three entries deleted in the main window come back as three backups; one is restored, the
    // other two go with one question, and the main list shows the restored entry at once.
    void deleteRestoreAndPurgeFromTheMainWindow() {
        test::MainWindowFixture f(TempPrefix::runSection("\"Machine\"=\"C:\\\\m.exe\"\n"),
                                  TempPrefix::userProfileBody() +
                                      TempPrefix::runSection("\"User\"=\"C:\\\\u.exe\"\n"));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), f.prefix.userStartupFolder() + "/Tool.lnk"));
        f.startWindow();
        frmMain& window = f.window;
        ScriptedMessageBoxes& boxes = f.boxes;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (const char* name : {"Machine", "User", "Tool.lnk"}) {
            const auto found = window.lvwEntries->findItems(QLatin1String(name), Qt::MatchExactly, 0);
            QCOMPARE(found.size(), 1);
            window.lvwEntries->setCurrentItem(found.first());
            boxes.enqueue(MessageAnswer::Yes);
            window.tlbMain_ButtonClick("delete");
        }
        QCOMPARE(window.lvwEntries->topLevelItemCount(), 0);

        QStringList names, places;
        QStringList afterRestore;
        qsizetype questions = -1;
        int afterDelete = -1;
        QTimer::singleShot(0, this, [&] {
            auto* backups = qobject_cast<frmBackup*>(QApplication::activeModalWidget());
            if (!backups)
                return;
            names = column(backups->lvwBackups, 0);
            places = column(backups->lvwBackups, 2);
            QTreeWidget* list = backups->lvwBackups;
            click(list, list->topLevelItem(2));
            boxes.enqueue(MessageAnswer::Yes);
            backups->cmdRestore->click();
            afterRestore = column(list, 0);
            const qsizetype before = boxes.shown().size();
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                list->topLevelItem(i)->setSelected(true);
            boxes.enqueue(MessageAnswer::Yes);
            backups->cmdDelete->click();
            questions = boxes.shown().size() - before;
            afterDelete = list->topLevelItemCount();
            backups->cmdClose->click();
        });
        window.tlbMain_ButtonClick("backups");

        QCOMPARE(names, QStringList({"Tool.lnk", "User", "Machine"}));
        QCOMPARE(places, QStringList({f.texts.GetText("SMLocalUsr"), f.texts.GetText("LURun"),
                                      f.texts.GetText("AURun")}));
        QCOMPARE(afterRestore, QStringList({"Tool.lnk", "User"}));
        QCOMPARE(questions, 1);
        QCOMPARE(afterDelete, 0);
        QCOMPARE(column(window.lvwEntries, 0), QStringList({"Machine"}));
        QVERIFY(!QFile::exists(f.prefix.userStartupFolder() + "/Tool.lnk"));
        QVERIFY(QDir(f.programFolder.filePath("Backups/Startmenu/Local User")).isEmpty());
    }
};

QTEST_MAIN(BackupWindowTest)
#include "backup_window_test.moc"
