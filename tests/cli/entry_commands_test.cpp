// The write commands of the command-line front end (disable, enable, delete, add, edit, restore, purge),
// run as a program on throwaway prefixes: what they say and the statuses they end with. What they write
// is the entry actions', the add/edit dialog's and the backups' test.
#include "cli_copy.h"
#include "entries/places.h"
#include "platform/registry_store.h"
#include "server_lock.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using sw::test::CliResult;
using sw::test::TempPrefix;

class EntryCommandsTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;

    static bool oneLine(const QByteArray& text) { return text.endsWith('\n') && text.count('\n') == 1; }

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void changesStateOnlyWhenAsked() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::runSection("\"Tool\"=\"C:\\\\tool.exe /x\"\n"));
        const CliResult off = m_cli.run({"--prefix", prefix.path(), "disable", "Tool", "--yes"});
        QCOMPARE(off.exitCode, 0);
        QVERIFY2(off.err.isEmpty(), off.err.constData());
        QVERIFY(oneLine(off.out) && off.out.contains("inactive"));
        QVERIFY(prefix.readFile("user.reg").contains("\"Tool\"=\"REM C:\\\\tool.exe /x\""));

        // already so: a note, no write, no question
        const QByteArray disabled = prefix.readFile("user.reg");
        const CliResult again = m_cli.run({"--prefix", prefix.path(), "disable", "Tool"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(oneLine(again.out) && again.out.contains("already"));
        QCOMPARE(prefix.readFile("user.reg"), disabled);

        // the question is answered on the standard input; anything but yes keeps the entry
        for (const QByteArray& answer : {QByteArray("n\n"), QByteArray("\n"), QByteArray()}) {
            const CliResult no = m_cli.run({"--prefix", prefix.path(), "enable", "Tool"}, answer);
            QCOMPARE(no.exitCode, 5);
            QVERIFY(no.err.contains("Tool"));
            QCOMPARE(prefix.readFile("user.reg"), disabled);
        }
        const CliResult yes = m_cli.run({"--prefix", prefix.path(), "enable", "tool"}, "Yes\n");
        QCOMPARE(yes.exitCode, 0);
        QVERIFY(prefix.readFile("user.reg").contains("\"Tool\"=\"C:\\\\tool.exe /x\""));
    }

    void deleteTellsWhereTheBackupWent() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::runSection("\"Tool\"=\"rem C:\\\\tool.exe\"\n"));
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/Tool.lnk", "link"));

        const CliResult value =
            m_cli.run({"--prefix", prefix.path(), "delete", "Tool", "--place", "LOCAL RUN", "--yes"});
        QCOMPARE(value.exitCode, 0);
        QVERIFY(oneLine(value.out));
        QVERIFY2(value.out.contains(
                     "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\"
                     "Backups\\HKEY_CU\\Run"),
                 value.out.constData());

        const QString copy = m_cli.backupFolder("Local User") + "/Tool.lnk";
        const CliResult file = m_cli.run({"--prefix", prefix.path(), "delete", "Tool.lnk"}, "y\n");
        QCOMPARE(file.exitCode, 0);
        QVERIFY2(file.out.contains(copy.toUtf8()) && QFile::exists(copy), file.out.constData());
    }

    void failsWithTheDocumentedStatuses() {
        TempPrefix prefix(TempPrefix::runSection("\"Twice\"=\"C:\\\\m.exe\"\n\"Machine\"=\"C:\\\\m.exe\"\n"),
                          TempPrefix::userProfileBody() +
                              TempPrefix::runSection("\"Twice\"=\"C:\\\\u.exe\"\n"));
        const QStringList at{"--prefix", prefix.path()};

        const CliResult missing = m_cli.run(at + QStringList{"disable", "Nobody", "--yes"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(oneLine(missing.err) && missing.out.isEmpty());
        const CliResult ambiguous = m_cli.run(at + QStringList{"disable", "Twice", "--yes"});
        QCOMPARE(ambiguous.exitCode, 1);
        QVERIFY2(ambiguous.err.contains("LOCAL RUN") && ambiguous.err.contains("ALL RUN"),
                 ambiguous.err.constData());
        QCOMPARE(m_cli.run(at + QStringList{"disable", "Twice", "--place", "ALL RUN", "--yes"}).exitCode, 0);
        QVERIFY(prefix.readFile("system.reg").contains("\"Twice\"=\"REM C:\\\\m.exe\""));
        QVERIFY(prefix.readFile("user.reg").contains("\"Twice\"=\"C:\\\\u.exe\""));

        for (const QStringList& bad : {QStringList{"disable"}, QStringList{"delete", "a", "b"},
                                       QStringList{"enable", "Twice", "--place", "NOWHERE"}}) {
            const CliResult usage = m_cli.run(at + bad);
            QCOMPARE(usage.exitCode, 2);
            QVERIFY(oneLine(usage.err));
        }

        // that nothing changes in these cases is the actions' own test; here, what the command says
        {
            sw::test::HeldServerLock server(prefix.path());
            QVERIFY(server.locked());
            const CliResult refused = m_cli.run(at + QStringList{"delete", "Machine", "--yes"});
            QCOMPARE(refused.exitCode, 3);
            QVERIFY2(oneLine(refused.err) && refused.err.contains("Wine"), refused.err.constData());
        }
        QVERIFY(QFile::setPermissions(prefix.hostPath("system.reg"), QFile::ReadOwner));
        const CliResult readOnly = m_cli.run(at + QStringList{"disable", "Machine", "--yes"});
        QCOMPARE(readOnly.exitCode, 4);
        QVERIFY2(oneLine(readOnly.err) && readOnly.err.contains("read-only"), readOnly.err.constData());
    }

    void addAndEditSayWhatTheyRefuse() {
        TempPrefix prefix({},
                          TempPrefix::userProfileBody() +
                              TempPrefix::runSection("\"Tray\"=\"rem C:\\\\Tools\\\\tray.exe /quiet\"\n"));
        QVERIFY(prefix.writeFile("drive_c/Tools/tray.exe", "MZ"));
        const auto cli = [&](const QStringList& arguments) {
            return m_cli.run(QStringList{"--prefix", prefix.path()} + arguments).exitCode;
        };
        const auto rows = [&](const QString& category) {
            QStringList found;
            const QString out =
                QString::fromUtf8(m_cli.run({"--prefix", prefix.path(), "list", category}).out);
            for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
                found.append(line.section('\t', 0, 1));
            return found;
        };
        // A missing program or entry (1); a bad place, file name or argument list (2); nothing written.
        const QByteArray user = prefix.readFile("user.reg");
        QCOMPARE(cli({"add", "Gone", "--program", "C:\\Tools\\gone.exe", "--place", "LOCAL RUN"}), 1);
        QCOMPARE(cli({"add", "X", "--program", "C:\\Tools\\tray.exe", "--place", "RUN"}), 2);
        QCOMPARE(cli({"add", "a:b", "--program", "C:\\Tools\\tray.exe", "--place", "ALL USERS"}), 2);
        QCOMPARE(cli({"add", "X", "--place", "LOCAL RUN"}), 2);
        QCOMPARE(cli({"edit", "Tray", "--program", "C:\\nowhere.exe"}), 1);
        QCOMPARE(cli({"edit", "Nothing", "--name", "Else"}), 1);
        QCOMPARE(cli({"edit", "Tray", "--to", "EVERYWHERE"}), 2);
        QCOMPARE(prefix.readFile("user.reg"), user);
        QCOMPARE(QDir(prefix.commonStartupFolder()).entryList(QDir::Files), QStringList());

        // Fields not named keep their values; --to moves the entry.
        QCOMPARE(cli({"add", "Big", "--program", "C:\\Tools\\tray.exe --big", "--place", "ALL RUNONCE"}), 0);
        QCOMPARE(rows("ALL RUNONCE"), QStringList{"Big\tC:\\Tools\\tray.exe --big"});
        QCOMPARE(cli({"edit", "tray", "--name", "Tray Icon"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList{"Tray Icon\tC:\\Tools\\tray.exe /quiet"});
        QCOMPARE(cli({"edit", "Tray Icon", "--place", "LOCAL RUN", "--to", "ALL USERS"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList());
        QCOMPARE(rows("ALL USERS"), QStringList{"Tray Icon.lnk\tC:\\Tools\\tray.exe"});
    }

    void backupsArePickedByNameAndGroup() {
        TempPrefix prefix({},
                          TempPrefix::userProfileBody() +
                              TempPrefix::backupSection("HKEY_CU\\Run", "\"Same\"=\"C:\\\\user.exe\"\n") +
                              TempPrefix::backupSection("HKEY_LM\\Run", "\"Same\"=\"C:\\\\machine.exe\"\n"));
        QVERIFY(QDir(m_cli.backupFolder({})).removeRecursively());               // what the delete case left
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "backups"}).exitCode, 0); // makes the places
        QVERIFY(QFile::copy(sw::test::fixture("wine_created.lnk"),
                            m_cli.backupFolder("All Users") + "/Tool.lnk"));

        const CliResult listed = m_cli.run({"--prefix", prefix.path(), "backups"});
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.err.isEmpty(), listed.err.constData());
        const QList<QByteArray> lines = listed.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], "Tool.lnk\tC:\\Program Files\\Tool\\tool.exe\tSMAllUsr\t\t" +
                               QFile::encodeName(m_cli.backupFolder("All Users")) + "/Tool.lnk");
        QCOMPARE(QString::fromUtf8(lines[2]), "Same\tC:\\machine.exe\tAURun\tSame" + sw::kBackupKey +
                                                  "\\HKEY_LM\\Run\t-2147483647;" + sw::kBackupKey +
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
        QCOMPARE(prefix.value(sw::kHkeyLocalMachine, sw::test::kRunKey, "Same"), QStringLiteral("<none>"));

        QCOMPARE(
            m_cli.run({"--prefix", prefix.path(), "restore", "same", "--group", "AURun", "--yes"}).exitCode,
            0);
        QCOMPARE(prefix.value(sw::kHkeyLocalMachine, sw::test::kRunKey, "Same"),
                 QStringLiteral("C:\\machine.exe"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "purge", "Same", "--yes"}).exitCode, 0);
        QCOMPARE(prefix.value(sw::kHkeyCurrentUser, sw::test::kRunKey, "Same"), QStringLiteral("<none>"));

        // A failing copy leaves the backup and says so.
        QVERIFY(QDir(prefix.commonStartupFolder()).removeRecursively());
        const CliResult failed = m_cli.run({"--prefix", prefix.path(), "restore", "Tool.lnk", "--yes"});
        QCOMPARE(failed.exitCode, 4);
        QVERIFY(failed.err.contains("still kept"));
        QVERIFY(QFile::remove(m_cli.backupFolder("All Users") + "/Tool.lnk"));
    }
};

QTEST_GUILESS_MAIN(EntryCommandsTest)
#include "entry_commands_test.moc"
