// Listing, restoring and deleting backups on throwaway prefixes and real folders.
#include "backups/backup_list.h"
#include "backups/backup_restore.h"
#include "entries/entry_actions.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

using test::kRunKey;
using test::TempPrefix;

struct Fixture {
    TempPrefix prefix;
    QTemporaryDir data;
    Platform platform;
    LanguageTexts texts;

    Fixture(const QByteArray& system, const QByteArray& user)
        : prefix(system, TempPrefix::userProfileBody() + user), platform(makeWinePlatform(prefix.path())) {
        EnsureBackupPlaces(platform, data.path());
    }
    QString folder(const char* group) const {
        return data.filePath(QStringLiteral("Backups/Startmenu/") + QLatin1String(group));
    }
    QList<BackupRow> rows() const { return listBackups(platform, texts, data.path()).rows; }
    QString value(std::int32_t root, const QString& key, const QString& name) const {
        return prefix.value(root, key, name);
    }
};

} // namespace

class BackupsTest : public QObject {
    Q_OBJECT
private slots:
    void listsEveryGroupInOrderWithKeysAndTags() {
        Fixture f(
            {}, TempPrefix::backupSection("HKEY_LM\\Run", "@=\"default\"\n\"Same\"=\"C:\\\\machine.exe\"\n") +
                    TempPrefix::backupSection("HKEY_CU\\Run", "\"Same\"=\"REM C:\\\\user.exe\"\n"));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), f.folder("All Users") + "/Tool.lnk"));
        QVERIFY(QFile(f.folder("Local User") + "/notes.txt").open(QIODevice::WriteOnly));
        QVERIFY(QFile(f.folder("Local User") + "/.hidden.lnk").open(QIODevice::WriteOnly));
        QVERIFY(QDir(f.folder("Local User")).mkdir("sub"));

        const QList<BackupRow> rows = f.rows();
        QCOMPARE(rows.size(), 4);
        // A file that is no shortcut is listed without a target; folders and hidden files are not.
        QCOMPARE(rows[0].name + '|' + rows[0].program + '|' + rows[0].tag,
                 "notes.txt||" + f.folder("Local User") + "/notes.txt");
        QVERIFY(!rows[0].isRegistryBackup());
        QCOMPARE(rows[1].program, QStringLiteral("C:\\Program Files\\Tool\\tool.exe"));
        QCOMPARE(rows[1].placeLabel, f.texts.GetText("SMAllUsr"));
        // The same name from both roots stays two rows with keys of their own; "@" is skipped.
        QCOMPARE(rows[2].program, QStringLiteral("REM C:\\user.exe"));
        QCOMPARE(rows[2].rowKey, "Same" + kBackupKey + "\\HKEY_CU\\Run");
        QCOMPARE(rows[2].tag, "-2147483647;" + kBackupKey + "\\HKEY_CU\\Run");
        QCOMPARE(rows[3].placeLabel, f.texts.GetText("AURun"));
        QCOMPARE(rows[3].rowKey, "Same" + kBackupKey + "\\HKEY_LM\\Run");
    }

    // Entries deleted as the main window deletes them come back to their own places.
    void restoresToTheOwnPlaceReplacingWhatIsThere() {
        Fixture f(TempPrefix::runSection("\"Same\"=\"C:\\\\machine.exe\"\n"),
                  TempPrefix::runSection("\"Same\"=\"C:\\\\user.exe\"\n"));
        const QString startupFile = f.prefix.userStartupFolder() + "/Tool.lnk";
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), startupFile));
        for (const AutostartEntry& entry : listCategory({f.platform, f.texts}, "ALL"))
            deleteEntry(f.platform, f.data.path(), entry, BackupPolicy::RefuseWithoutBackup);
        QList<BackupRow> rows = f.rows();
        QCOMPARE(rows.size(), 3);

        QCOMPARE(restoreBackup(f.platform, f.texts, rows[2]).target, "HKEY_LOCAL_MACHINE\\" + kRunKey);
        QCOMPARE(f.value(kHkeyLocalMachine, kRunKey, "Same"), QStringLiteral("C:\\machine.exe"));
        QCOMPARE(f.value(kHkeyCurrentUser, kRunKey, "Same"), QStringLiteral("<none>"));
        QCOMPARE(f.rows().size(), 2);

        f.platform.newRegistryStore()->WriteStringValue(kHkeyCurrentUser, kRunKey, "Same", "C:\\newer.exe");
        restoreBackup(f.platform, f.texts, rows[1]);
        QCOMPARE(f.value(kHkeyCurrentUser, kRunKey, "Same"), QStringLiteral("C:\\user.exe"));

        QFile newer(startupFile);
        QVERIFY(newer.open(QIODevice::WriteOnly) && newer.write("newer") == 5);
        newer.close();
        QVERIFY(restoreBackup(f.platform, f.texts, rows[0]).leftBehind.isEmpty());
        QFile original(test::fixture("wine_created.lnk"));
        QVERIFY(original.open(QIODevice::ReadOnly) && newer.open(QIODevice::ReadOnly));
        QCOMPARE(newer.readAll(), original.readAll());
        QVERIFY(f.rows().isEmpty());
    }

    void failuresAndRefusalsKeepTheBackup() {
        Fixture f({}, TempPrefix::backupSection("HKEY_LM\\Run", "\"Tool\"=\"C:\\\\tool.exe\"\n"));
        QVERIFY(QFile::copy(test::fixture("wine_created.lnk"), f.folder("Local User") + "/Tool.lnk"));
        const QList<BackupRow> rows = f.rows();
        QCOMPARE(rows.size(), 2);
        const auto failureKey = [&](const Platform& platform, const BackupRow& row) {
            try {
                restoreBackup(platform, f.texts, row);
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
        // A label that no group has is refused before anything is written.
        for (BackupRow stray : rows) {
            stray.placeLabel = QStringLiteral("elsewhere");
            QCOMPARE(failureKey(f.platform, stray), QStringLiteral("MsgRestoreNoTarget"));
        }
        // No Startup folder to copy into; a machine registry that cannot be written.
        QVERIFY(QDir(f.prefix.userStartupFolder()).removeRecursively());
        QCOMPARE(failureKey(f.platform, rows[0]), QStringLiteral("MsgRestoreFailed"));
        QVERIFY(f.prefix.writeFile("system.reg", "not a registry"));
        QCOMPARE(failureKey(f.platform, rows[1]), QStringLiteral("MsgRestoreFailed"));
        QCOMPARE(f.rows().size(), 2);

        deleteBackup(f.platform, rows[0]);
        deleteBackup(f.platform, rows[1]);
        QVERIFY(f.rows().isEmpty());
    }
};

QTEST_GUILESS_MAIN(BackupsTest)
#include "backups_test.moc"
