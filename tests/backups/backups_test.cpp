// Listing, restoring and deleting backups on throwaway prefixes and real folders, and the backups window,
// alone and opened from the main window's toolbar.
#include "backups/backup_list.h"
#include "backups/backup_restore.h"
#include "entries/entry_actions.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "fixture_bytes.h"
#include "gui/backup_window.h"
#include "main_window_fixture.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace sw;

namespace {

using test::kRunKey;
using test::TempPrefix;

struct Fixture : TempPrefix {
    QTemporaryDir data;
    Platform platform;
    LanguageTexts texts;

    Fixture(const QByteArray& system, const QByteArray& user)
        : TempPrefix(system, TempPrefix::userProfileBody() + user), platform(makeWinePlatform(path())) {
        ensureBackupPlaces(platform, data.path());
    }
    QString folder(const char* group) const {
        return data.filePath(QStringLiteral("Backups/Startmenu/") + QLatin1String(group));
    }
    QList<BackupRow> rows() const { return listBackups(platform, texts, data.path()).rows; }
};

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

class BackupsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void listsEveryGroupInOrderWithKeysAndTags() {
        Fixture f(
            {}, TempPrefix::backupSection("HKEY_LM\\Run", "@=\"default\"\n\"Same\"=\"C:\\\\machine.exe\"\n") +
                    TempPrefix::backupSection("HKEY_CU\\Run", "\"Same\"=\"REM C:\\\\user.exe\"\n"));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), f.folder("All Users") + "/Tool.lnk"));
        QVERIFY(QFile(f.folder("Local User") + "/notes.txt").open(QIODevice::WriteOnly));
        QVERIFY(QDir(f.folder("Local User")).mkdir("sub"));

        QList<BackupRow> rows = f.rows();
        QCOMPARE(rows.size(), 4);
        // A file that is no shortcut is listed without a target; folders are not.
        QCOMPARE(rows[0].name + '|' + rows[0].program + '|' + rows[0].tag,
                 "notes.txt||" + f.folder("Local User") + "/notes.txt");
        QVERIFY(!rows[0].isRegistryBackup() && !rows[0].shared);
        QCOMPARE(rows[1].program, QStringLiteral("C:\\Program Files\\Tool\\tool.exe"));
        QCOMPARE(rows[1].placeLabel, f.texts.getText("SMAllUsr"));
        // The same name from both roots stays two rows with keys of their own; "@" is skipped.
        QCOMPARE(rows[2].program, QStringLiteral("REM C:\\user.exe"));
        QCOMPARE(rows[2].rowKey, "Same" + kBackupKey + "\\HKEY_CU\\Run");
        QCOMPARE(rows[2].tag, "-2147483647;" + kBackupKey + "\\HKEY_CU\\Run");
        QCOMPARE(rows[3].placeLabel, f.texts.getText("AURun"));
        QCOMPARE(rows[3].rowKey, "Same" + kBackupKey + "\\HKEY_LM\\Run");

        // The folders an earlier version kept for every prefix follow, their rows marked.
        QTemporaryDir shared;
        QVERIFY(QDir().mkpath(shared.filePath("Backups/Startmenu/All Users")));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"),
                            shared.filePath("Backups/Startmenu/All Users/Old (2).lnk")));
        rows = listBackups(f.platform, f.texts, f.data.path(), {shared.path()}).rows;
        QCOMPARE(rows.size(), 5);
        QVERIFY(rows[4].shared && !rows[1].shared);
        QCOMPARE(rows[4].labelKey, QStringLiteral("SMAllUsr"));
        QCOMPARE(rows[4].originalName(), QStringLiteral("Old (2).lnk")); // earlier versions numbered none
        QCOMPARE(shownPlace(f.texts, rows[4]),
                 f.texts.getText("SMAllUsr") + " (earlier version, not tied to a prefix)");
        QCOMPARE(shownPlace(f.texts, rows[1]), f.texts.getText("SMAllUsr"));
    }

    // What the backups keep: the hidden mark of a disabled shortcut, a read-only file's mark, dot names,
    // and every earlier backup of the same name; each comes back under its own name and marks.
    void backupsKeepMarksNamesAndEarlierCopies() {
        Fixture f({}, TempPrefix::runSection("\"Tool\"=\"C:\\\\first.exe\"\n"));
        const QString startup = f.userStartupFolder();
        const auto remove = [&](const QString& category) {
            for (const AutostartEntry& entry : listCategory({f.platform, f.texts}, category))
                deleteEntry(f.platform, f.data.path(), entry, BackupPolicy::RefuseWithoutBackup);
        };
        const auto backups = [&] {
            QStringList names;
            for (const BackupRow& row : f.rows())
                names << row.name;
            names.sort();
            return names;
        };
        const auto restore = [&](const QString& name) {
            for (const BackupRow& row : f.rows())
                if (row.name == name)
                    return restoreBackup(f.platform, row, f.data.path(), RestoreMode::KeepExisting);
            return RestoreOutcome{};
        };
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), startup + "/Tool.lnk"));
        toggleActivation(f.platform, listCategory({f.platform, f.texts}, "LOCAL USER").first());
        test::writeBytes(startup + "/.profile.lnk", "dot");
        remove("ALL");
        QCOMPARE(test::dosAttrib(f.folder("Local User") + "/Tool.lnk"), QByteArray("0x2"));

        // Later entries of the same names: a read-only file, and a value.
        test::writeBytes(startup + "/Tool.lnk", "later");
        QVERIFY(QFile::setPermissions(startup + "/Tool.lnk", QFile::ReadOwner));
        f.platform.newRegistryStore()->writeStringValue(kHkeyCurrentUser, kRunKey, "Tool", "C:\\second.exe");
        remove("LOCAL RUN");
        // Windows keeps a read-only file from being deleted; the copy is made first all the same.
        QVERIFY_THROWS_EXCEPTION(RemovalFailed, remove("LOCAL USER"));
        QVERIFY(QFile::setPermissions(startup + "/Tool.lnk", QFile::WriteOwner) &&
                QFile::remove(startup + "/Tool.lnk"));
        QCOMPARE(backups(), QStringList({".profile.lnk", "Tool", "Tool (2)", "Tool (2).lnk", "Tool.lnk"}));

        // The numbered copies go back under the original names with their marks; the read-only
        // copy's backup goes too.
        QCOMPARE(restore("Tool (2).lnk").target,
                 f.platform.system->getSpecialFolder(kCsidlStartup, false, false) + "\\Tool.lnk");
        QCOMPARE(test::fileBytes(startup + "/Tool.lnk"), QByteArray("later"));
        QCOMPARE(QFileInfo(startup + "/Tool.lnk").permissions() & QFile::WriteOwner, 0);
        restore("Tool (2)");
        QCOMPARE(f.value(kHkeyCurrentUser, kRunKey, "Tool"), QStringLiteral("C:\\second.exe"));
        QCOMPARE(backups(), QStringList({".profile.lnk", "Tool", "Tool.lnk"}));

        QVERIFY(QFile::setPermissions(startup + "/Tool.lnk", QFile::WriteOwner) &&
                QFile::remove(startup + "/Tool.lnk"));
        restore("Tool.lnk");
        restore(".profile.lnk");
        QCOMPARE(test::dosAttrib(startup + "/Tool.lnk"), QByteArray("0x2"));
        QCOMPARE(test::fileBytes(startup + "/.profile.lnk"), QByteArray("dot"));
        QStringList restored;
        for (const AutostartEntry& entry : listCategory({f.platform, f.texts}, "LOCAL USER"))
            restored << entry.name + (entry.active ? "" : " (inactive)");
        restored.sort();
        QCOMPARE(restored, QStringList({".profile.lnk (inactive)", "Tool.lnk (inactive)"}));

        // Read-only backups are purged like any other.
        remove("LOCAL USER");
        for (const QString& name : QDir(f.folder("Local User")).entryList(QDir::Files | QDir::Hidden))
            QVERIFY(QFile::setPermissions(f.folder("Local User") + "/" + name, QFile::ReadOwner));
        for (const BackupRow& row : f.rows())
            deleteBackup(f.platform, row);
        QVERIFY(f.rows().isEmpty());
    }

    // Entries deleted as the main window deletes them come back to their own places, listed in German
    // as well; one of the same name there is replaced only when asked for, and is then backed up first.
    void restoresToTheOwnPlaceAndReplacesOnlyWhenAsked() {
        Fixture f(TempPrefix::runSection("\"Same\"=\"C:\\\\machine.exe\"\n"),
                  TempPrefix::runSection("\"Same\"=\"C:\\\\user.exe\"\n"));
        const QString startupFile = f.userStartupFolder() + "/Tool.lnk";
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), startupFile));
        for (const AutostartEntry& entry : listCategory({f.platform, f.texts}, "ALL"))
            deleteEntry(f.platform, f.data.path(), entry, BackupPolicy::RefuseWithoutBackup);
        LanguageTexts german;
        QVERIFY(german.loadLanguage(QStringLiteral(SW_SOURCE_DIR "/data/languages/german.lng")));
        QList<BackupRow> rows = listBackups(f.platform, german, f.data.path()).rows;
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2].placeLabel, QStringLiteral("Run (alle Benutzer)"));
        const auto restore = [&](const BackupRow& row, RestoreMode mode) {
            return restoreBackup(f.platform, row, f.data.path(), mode);
        };

        QCOMPARE(restore(rows[2], RestoreMode::KeepExisting).target, "HKEY_LOCAL_MACHINE\\" + kRunKey);
        QCOMPARE(f.value(kHkeyLocalMachine, kRunKey, "Same"), QStringLiteral("C:\\machine.exe"));
        QCOMPARE(f.value(kHkeyCurrentUser, kRunKey, "Same"), QStringLiteral("<none>"));
        QCOMPARE(f.rows().size(), 2);

        f.platform.newRegistryStore()->writeStringValue(kHkeyCurrentUser, kRunKey, "SAME", "C:\\newer.exe");
        test::writeBytes(startupFile, "newer");
        for (const BackupRow& row : {rows[0], rows[1]}) {
            QVERIFY(restoreTargetTaken(f.platform, row));
            QVERIFY_THROWS_EXCEPTION(RestoreTargetTaken, restore(row, RestoreMode::KeepExisting));
        }
        QCOMPARE(f.value(kHkeyCurrentUser, kRunKey, "Same"), QStringLiteral("C:\\newer.exe"));
        QCOMPARE(test::fileBytes(startupFile), QByteArray("newer"));

        QCOMPARE(restore(rows[1], RestoreMode::ReplaceExisting).replacedBackup,
                 kBackupKey + "\\HKEY_CU\\Run");
        QCOMPARE(f.value(kHkeyCurrentUser, kRunKey, "Same"), QStringLiteral("C:\\user.exe"));
        const RestoreOutcome file = restore(rows[0], RestoreMode::ReplaceExisting);
        QVERIFY(file.leftBehind.isEmpty());
        QCOMPARE(file.replacedBackup, f.folder("Local User") + "/Tool (2).lnk");
        QCOMPARE(test::fileBytes(startupFile), test::fixtureBytes("wine_created.lnk"));
        rows = f.rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].name + '=' + rows[0].program, QStringLiteral("Tool (2).lnk="));
        QCOMPARE(rows[1].name + '=' + rows[1].program, QStringLiteral("SAME (2)=C:\\newer.exe"));
    }

    void failuresAndRefusalsKeepTheBackup() {
        Fixture f({}, TempPrefix::backupSection("HKEY_LM\\Run", "\"Tool\"=\"C:\\\\tool.exe\"\n"));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), f.folder("Local User") + "/Tool.lnk"));
        const QList<BackupRow> rows = f.rows();
        QCOMPARE(rows.size(), 2);
        const auto failureKey = [&](const Platform& platform, const BackupRow& row) {
            try {
                restoreBackup(platform, row, f.data.path(), RestoreMode::ReplaceExisting);
            } catch (const RestoreFailed& failed) {
                return failed.messageKey();
            } catch (const WriteRefused&) {
                return QStringLiteral("refused");
            }
            return QString();
        };

        Platform running = f.platform;
        running.readOnlyReason = [] { return QStringLiteral("Wine runs on the prefix."); };
        QCOMPARE(failureKey(running, rows[0]), QStringLiteral("refused"));
        QVERIFY_THROWS_EXCEPTION(WriteRefused, deleteBackup(running, rows[1]));
        // A group that does not exist or holds the other kind of backup, and a file name that climbs out
        // of the Startup folder, are refused before anything is written.
        for (const QString& group : {QStringLiteral("elsewhere"), rows[1].labelKey, rows[0].labelKey}) {
            BackupRow stray = group == rows[0].labelKey ? rows[1] : rows[0];
            stray.labelKey = group;
            QCOMPARE(failureKey(f.platform, stray), QStringLiteral("MsgRestoreNoTarget"));
        }
        BackupRow climbing = rows[0];
        climbing.name = QStringLiteral("..\\..\\Desktop\\Tool.lnk");
        QCOMPARE(failureKey(f.platform, climbing), QStringLiteral("MsgRestoreNoTarget"));
        // No Startup folder to copy into; a machine registry that cannot be written.
        QVERIFY(QDir(f.userStartupFolder()).removeRecursively());
        QCOMPARE(failureKey(f.platform, rows[0]), QStringLiteral("MsgRestoreFailed"));
        QVERIFY(f.writeFile("system.reg", "not a registry"));
        QCOMPARE(failureKey(f.platform, rows[1]), QStringLiteral("MsgRestoreFailed"));
        QCOMPARE(f.rows().size(), 2);

        deleteBackup(f.platform, rows[0]);
        deleteBackup(f.platform, rows[1]);
        QVERIFY(f.rows().isEmpty());
    }

    void opensDisabledSortsAndReportsWhatItCannotRead() {
        // Two of the backup keys exist; each of the others cannot be enumerated.
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::backupSection("HKEY_CU\\Run", "\"a\"=\"C:\\\\a.exe\"\n"
                                                                            "\"e\"=\"C:\\\\e.exe\"\n") +
                                  TempPrefix::backupSection("HKEY_LM\\Run", "\"c\"=\"C:\\\\c.exe\"\n"));
        QTemporaryDir data;
        QVERIFY(QDir().mkpath(data.filePath("Backups/Startmenu/Local User")));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"),
                            data.filePath("Backups/Startmenu/Local User/b.lnk")));
        const Platform platform = makeWinePlatform(prefix.path());
        LanguageTexts texts;
        ScriptedMessageBoxes boxes;
        frmBackup window({platform, texts, boxes, data.path(), {}});

        const auto& places = allPlaces();
        const qsizetype unreadable =
            std::count_if(places.begin(), places.end(), [](const Place& p) { return p.isRegistryKey(); }) - 2;
        QCOMPARE(boxes.shown().size(), unreadable);
        QCOMPARE(boxes.shown()[0].text, texts.getText("MsgErrNoPrivileges"));
        QCOMPARE(boxes.shown()[0].icon, MessageIcon::Exclamation);
        QCOMPARE(window.windowTitle(), texts.getText("BackupWinTit"));
        QCOMPARE(test::control<QTreeWidget>(window, "lvwBackups")->headerItem()->text(2),
                 texts.getText("place"));
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 0),
                 QStringList({"b.lnk", "a", "e", "c"}));
        QVERIFY(!test::control<QPushButton>(window, "cmdRestore")->isEnabled() &&
                !test::control<QPushButton>(window, "cmdDelete")->isEnabled());

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(test::control<QTreeWidget>(window, "lvwBackups")->hasFocus());
        QHeaderView* header = test::control<QTreeWidget>(window, "lvwBackups")->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        // Sorting happens within each place; the places keep the category tree's order.
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 0),
                 QStringList({"b.lnk", "a", "e", "c"}));
        window.sortBy(0);
        window.sortBy(0);
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 0),
                 QStringList({"b.lnk", "e", "a", "c"}));

        click(test::control<QTreeWidget>(window, "lvwBackups"),
              test::control<QTreeWidget>(window, "lvwBackups")->topLevelItem(0));
        QVERIFY(test::control<QPushButton>(window, "cmdRestore")->isEnabled() &&
                test::control<QPushButton>(window, "cmdDelete")->isEnabled());

        // A copy that fails: one sentence, and the backup stays listed. The sort order survives.
        QVERIFY(QDir(prefix.userStartupFolder()).removeRecursively());
        boxes.enqueue(MessageAnswer::Yes);
        test::control<QPushButton>(window, "cmdRestore")->click();
        QCOMPARE(boxes.shown().size(), 2 * unreadable + 2); // question, failure, the unreadable keys again
        QCOMPARE(boxes.shown()[unreadable + 1].text, texts.textForEntry("MsgRestoreFailed", "b.lnk"));
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 0),
                 QStringList({"b.lnk", "e", "a", "c"}));

        QTest::keyClick(test::control<QTreeWidget>(window, "lvwBackups"), Qt::Key_Escape);
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
            QCOMPARE(test::entryColumn(window, 0).count(name), 1);
            test::selectEntry(window, test::entryNamed(window, name));
            boxes.enqueue(MessageAnswer::Yes);
            window.runCommand("delete");
        }
        QCOMPARE(test::entryCount(window), 0);

        QStringList names, places;
        QStringList afterRestore;
        qsizetype questions = -1;
        int afterDelete = -1;
        QTimer::singleShot(0, this, [&] {
            auto* backups = qobject_cast<frmBackup*>(QApplication::activeModalWidget());
            if (!backups)
                return;
            names = column(test::control<QTreeWidget>(*backups, "lvwBackups"), 0);
            places = column(test::control<QTreeWidget>(*backups, "lvwBackups"), 2);
            QTreeWidget* list = test::control<QTreeWidget>(*backups, "lvwBackups");
            click(list, list->topLevelItem(2));
            boxes.enqueue(MessageAnswer::Yes);
            test::control<QPushButton>(*backups, "cmdRestore")->click();
            afterRestore = column(list, 0);
            const qsizetype before = boxes.shown().size();
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                list->topLevelItem(i)->setSelected(true);
            boxes.enqueue(MessageAnswer::Yes);
            test::control<QPushButton>(*backups, "cmdDelete")->click();
            questions = boxes.shown().size() - before;
            afterDelete = list->topLevelItemCount();
            test::control<QPushButton>(*backups, "cmdClose")->click();
        });
        window.runCommand("backups");

        QCOMPARE(names, QStringList({"Tool.lnk", "User", "Machine"}));
        QCOMPARE(places, QStringList({f.texts.getText("SMLocalUsr"), f.texts.getText("LURun"),
                                      f.texts.getText("AURun")}));
        QCOMPARE(afterRestore, QStringList({"Tool.lnk", "User"}));
        QCOMPARE(questions, 1);
        QCOMPARE(afterDelete, 0);
        QCOMPARE(test::entryColumn(window, 0), QStringList({"Machine"}));
        QVERIFY(!QFile::exists(f.prefix.userStartupFolder() + "/Tool.lnk"));
        QVERIFY(QDir(f.prefix.backupFolder("Local User")).isEmpty());
    }

    // The window asks before a restore replaces an entry, and marks what an earlier version kept for
    // every prefix.
    void windowAsksBeforeReplacingAndMarksSharedBackups() {
        Fixture f({}, {});
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), f.folder("Local User") + "/Tool.lnk"));
        test::writeBytes(f.userStartupFolder() + "/Tool.lnk", "there");
        QTemporaryDir shared;
        test::writeBytes(shared.filePath("Backups/Startmenu/All Users/Old.lnk"), "old");
        ScriptedMessageBoxes boxes;
        frmBackup window({f.platform, f.texts, boxes, f.data.path(), {shared.path()}});
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 2),
                 QStringList({f.texts.getText("SMLocalUsr"),
                              f.texts.getText("SMAllUsr") + " (earlier version, not tied to a prefix)"}));
        test::control<QTreeWidget>(window, "lvwBackups")
            ->setCurrentItem(test::control<QTreeWidget>(window, "lvwBackups")->topLevelItem(0));

        boxes.enqueue(MessageAnswer::No);
        test::control<QPushButton>(window, "cmdRestore")->click();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown()[0].text, f.texts.textForEntry("MsgRestoreReplaceReq", "Tool.lnk"));
        QCOMPARE(test::fileBytes(f.userStartupFolder() + "/Tool.lnk"), QByteArray("there"));

        boxes.enqueue(MessageAnswer::Yes);
        test::control<QPushButton>(window, "cmdRestore")->click();
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(test::fileBytes(f.userStartupFolder() + "/Tool.lnk"),
                 test::fixtureBytes("wine_created.lnk"));
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 0),
                 QStringList({"Tool (2).lnk", "Old.lnk"}));

        // The replaced entry's backup goes back only when asked again; the shared one to this prefix.
        test::control<QTreeWidget>(window, "lvwBackups")
            ->setCurrentItem(test::control<QTreeWidget>(window, "lvwBackups")->topLevelItem(1));
        boxes.enqueue(MessageAnswer::Yes);
        test::control<QPushButton>(window, "cmdRestore")->click();
        QCOMPARE(boxes.shown()[2].text, f.texts.textForEntry("MsgRestoreBackupReq", "Old.lnk"));
        QCOMPARE(test::fileBytes(f.commonStartupFolder() + "/Old.lnk"), QByteArray("old"));
        QCOMPARE(column(test::control<QTreeWidget>(window, "lvwBackups"), 0), QStringList({"Tool (2).lnk"}));
    }

    // Two prefixes beside one program folder: each keeps its own check list and backups, so a start on
    // one after the other dims nothing that was there at its own last exit.
    void eachPrefixKeepsItsOwnRecords() {
        test::MainWindowFixture a({}, TempPrefix::userProfileBody() +
                                          TempPrefix::runSection("\"A\"=\"C:\\\\a.exe\"\n"));
        test::MainWindowFixture b({}, TempPrefix::userProfileBody() +
                                          TempPrefix::runSection("\"B\"=\"C:\\\\b.exe\"\n"));
        b.startup.files.programFolder = a.programFolder.path();
        a.startWindow();
        shutDown(a.window, *a.services);
        b.startWindow();
        test::selectEntry(b.window, test::entryList(b.window)->model()->index(0, 0));
        b.boxes.enqueue(MessageAnswer::Yes);
        b.window.runCommand("delete");
        shutDown(b.window, *b.services);

        test::MainWindowFixture again({}, {});
        again.startup.files = a.startup.files;
        again.startWindow();
        const QList<AutostartEntry> rows = again.window.rowsInListOrder();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].name, QStringLiteral("A"));
        QVERIFY(!rows[0].ghosted);
        QVERIFY(QFile::exists(a.prefix.hostPath("startwarden/Check.dat")));
        QVERIFY(listBackups(again.services->platform, again.texts, again.services->files.dataFolder(),
                            again.services->files.sharedDataFolders())
                    .rows.isEmpty());
        QCOMPARE(listBackups(b.services->platform, b.texts, b.services->files.dataFolder()).rows.size(), 1);
    }
};

QTEST_MAIN(BackupsTest)
#include "backups_test.moc"
