// disable, enable, delete and run of the command-line front end, run as a program on throwaway
// prefixes.
#include "cli_copy.h"
#include "server_lock.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QTest>

using sw::test::CliResult;
using sw::test::TempPrefix;

namespace {

QByteArray runSection(const QByteArray& lines) {
    return "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "
           "1700000000\n#time=1d9f0a0b0c0d0e0\n" +
           lines;
}

} // namespace

class EntryCommandsTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;

    static bool oneLine(const QByteArray& text) { return text.endsWith('\n') && text.count('\n') == 1; }

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void changesStateOnlyWhenAsked() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() + runSection("\"Tool\"=\"C:\\\\tool.exe /x\"\n"));
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
        TempPrefix prefix({},
                          TempPrefix::userProfileBody() + runSection("\"Tool\"=\"rem C:\\\\tool.exe\"\n"));
        QVERIFY(
            prefix.writeFile(prefix.userStartupFolder().mid(prefix.path().size() + 1) + "/Tool.lnk", "link"));

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
        TempPrefix prefix(runSection("\"Twice\"=\"C:\\\\m.exe\"\n\"Machine\"=\"C:\\\\m.exe\"\n"),
                          TempPrefix::userProfileBody() + runSection("\"Twice\"=\"C:\\\\u.exe\"\n"));
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
};

QTEST_GUILESS_MAIN(EntryCommandsTest)
#include "entry_commands_test.moc"
