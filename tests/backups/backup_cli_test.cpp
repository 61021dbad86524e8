// backups, restore and purge of startwarden-cli, run as a program.
#include "cli_copy.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <csignal>

using sw::test::CliResult;
using sw::test::TempPrefix;

namespace {

const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kBackupKey =
    QStringLiteral("Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\Backups");

QByteArray backupSection(const QByteArray& leaf, const QByteArray& lines) {
    return "\n[Software\\\\VB and VBA Program Settings\\\\Tidyra\\\\StartWarden\\\\Backups\\\\" + leaf +
           "] 1700000000\n#time=1d9f0a0b0c0d0e0\n" + lines;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class BackupCliTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;

    QString backupFolder(const char* group) const { return m_cli.backupFolder(QLatin1String(group)); }

    static QString value(const TempPrefix& prefix, std::int32_t root, const QString& key,
                         const QString& name) {
        try {
            return sw::makeWinePlatform(prefix.path()).newRegistryStore()->ReadValue(root, key, name, 0);
        } catch (const std::exception&) {
            return QStringLiteral("<none>");
        }
    }

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void listsAndPicksBackupsByNameAndGroup() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  backupSection("HKEY_CU\\\\Run", "\"Same\"=\"C:\\\\user.exe\"\n") +
                                  backupSection("HKEY_LM\\\\Run", "\"Same\"=\"C:\\\\machine.exe\"\n"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "backups"}).exitCode, 0); // makes the places
        QVERIFY(QFile::copy(sw::test::fixture("wine_created.lnk"), backupFolder("All Users") + "/Tool.lnk"));

        const CliResult listed = m_cli.run({"--prefix", prefix.path(), "backups"});
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.err.isEmpty(), listed.err.constData());
        const QList<QByteArray> lines = listed.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], "Tool.lnk\tC:\\Program Files\\Tool\\tool.exe\tSMAllUsr\t\t" +
                               QFile::encodeName(backupFolder("All Users")) + "/Tool.lnk");
        QCOMPARE(QString::fromUtf8(lines[2]), "Same\tC:\\machine.exe\tAURun\tSame" + kBackupKey +
                                                  "\\HKEY_LM\\Run\t-2147483647;" + kBackupKey +
                                                  "\\HKEY_LM\\Run");
        const QJsonArray json =
            QJsonDocument::fromJson(m_cli.run({"--prefix", prefix.path(), "backups", "--json"}).out).array();
        QCOMPARE(json[1].toObject()["group"].toString(), QStringLiteral("LURun"));

        // A name in two groups needs --group; not confirmed, nothing changes.
        const CliResult ambiguous = m_cli.run({"--prefix", prefix.path(), "restore", "Same", "--yes"});
        QCOMPARE(ambiguous.exitCode, 1);
        QVERIFY(ambiguous.err.contains("--group"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "purge", "Same", "--group", "Run"}).exitCode, 2);
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "restore", "same", "--group", "AURun"}).exitCode, 5);
        QCOMPARE(value(prefix, sw::kHkeyLocalMachine, kRunKey, "Same"), QStringLiteral("<none>"));

        QCOMPARE(
            m_cli.run({"--prefix", prefix.path(), "restore", "same", "--group", "AURun", "--yes"}).exitCode,
            0);
        QCOMPARE(value(prefix, sw::kHkeyLocalMachine, kRunKey, "Same"), QStringLiteral("C:\\machine.exe"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "purge", "Same", "--yes"}).exitCode, 0);
        QCOMPARE(value(prefix, sw::kHkeyCurrentUser, kRunKey, "Same"), QStringLiteral("<none>"));

        // A failing copy leaves the backup and says so.
        QVERIFY(QDir(prefix.commonStartupFolder()).removeRecursively());
        const CliResult failed = m_cli.run({"--prefix", prefix.path(), "restore", "Tool.lnk", "--yes"});
        QCOMPARE(failed.exitCode, 4);
        QVERIFY(failed.err.contains("still kept"));
        QVERIFY(QFile::remove(backupFolder("All Users") + "/Tool.lnk"));
    }

    // A restore killed at any moment leaves the entry in its place, in its backup or in both.
    void killedRestoreNeverLosesTheEntry() {
        TempPrefix prefix;
        QVERIFY(m_cli.run({"--prefix", prefix.path(), "backups"}).exitCode == 0);
        const QByteArray link = fileBytes(sw::test::fixture("wine_created.lnk"));
        const QString backupFile = backupFolder("Local User") + "/Tool.lnk";
        const QString startupFile = prefix.userStartupFolder() + "/Tool.lnk";
        const QByteArray userReg = TempPrefix::registryHeader(false) + TempPrefix::userProfileBody() +
                                   backupSection("HKEY_LM\\\\Run", "\"Kept\"=\"C:\\\\k.exe\"\n");
        const QByteArray systemReg = TempPrefix::registryHeader(true);

        // Kills spread over the whole run of a restore, measured once without a kill.
        const auto reset = [&] {
            QFile::remove(startupFile);
            QVERIFY(prefix.writeFile("system.reg", systemReg));
            QVERIFY(prefix.writeFile("user.reg", userReg));
            QFile backup(backupFile);
            QVERIFY(backup.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    backup.write(link) == link.size());
        };
        qint64 spanMicroseconds = 0;
        for (const char* name : {"Tool.lnk", "Kept"}) {
            reset();
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(m_cli.run({"--prefix", prefix.path(), "restore", name, "--yes"}).exitCode, 0);
            spanMicroseconds = std::max(spanMicroseconds, timer.nsecsElapsed() / 1000);
        }

        int killed = 0;
        int rounds = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 4000) {
            const bool file = rounds++ % 2 == 0;
            reset();
            QProcess process;
            m_cli.start(process, {"--prefix", prefix.path(), "restore", file ? "Tool.lnk" : "Kept", "--yes"});
            QVERIFY(process.waitForStarted());
            QThread::usleep(QRandomGenerator::global()->bounded(spanMicroseconds + spanMicroseconds / 4));
            // A process that has ended is a zombie until it is waited for, so the pid is still its own.
            ::kill(pid_t(process.processId()), SIGKILL);
            QVERIFY(process.waitForFinished(10000));
            if (process.exitStatus() == QProcess::CrashExit)
                ++killed;

            if (file) {
                const bool inPlace = QFile::exists(startupFile);
                const bool inBackup = QFile::exists(backupFile);
                QVERIFY2(inPlace || inBackup, "the shortcut is in neither place");
                QVERIFY(!inPlace || fileBytes(startupFile) == link);
                QVERIFY(!inBackup || fileBytes(backupFile) == link);
            } else {
                const QString inPlace = value(prefix, sw::kHkeyLocalMachine, kRunKey, "Kept");
                const QString inBackup =
                    value(prefix, sw::kHkeyCurrentUser, kBackupKey + "\\HKEY_LM\\Run", "Kept");
                QVERIFY2(inPlace != "<none>" || inBackup != "<none>", "the value is in neither place");
                QVERIFY(inPlace == "<none>" || inPlace == "C:\\k.exe");
                QVERIFY(inBackup == "<none>" || inBackup == "C:\\k.exe");
            }
        }
        qInfo("%d restores, %d killed while running", rounds, killed);
        QVERIFY(killed > 0);
    }
};

QTEST_GUILESS_MAIN(BackupCliTest)
#include "backup_cli_test.moc"
