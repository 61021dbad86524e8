// startwarden-cli on a prefix that wineboot made: it lists what Wine's own reg wrote, and Wine's reg and
// attrib read back what its write commands wrote. Wine starts are few: a cold start costs many seconds,
// every new session of the prefix runs the Run keys (so the programs named either do not exist or end at
// once) and removes the RunOnce entries, and the command line refuses to write while a session runs, so
// the session ends before every write.
#include "cli_copy.h"
#include "platform/shortcut_file.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"
#include "wine_session.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

const QString kRun = QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kMachineRun = QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kBackup =
    QStringLiteral("HKCU\\Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\Backups\\HKEY_CU\\Run");
const QString kEndsAtOnce = QStringLiteral("\"C:\\windows\\system32\\cmd.exe\" /c exit");

} // namespace

class CliWineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath("prefix");
    QString m_shortcut; // Windows path of a shortcut in the user's Startup folder
    sw::test::WineSession m_session{m_prefix};
    sw::test::CliCopy m_cli; // the prefix comes from WINEPREFIX

    int cli(const QStringList& arguments) { return m_cli.run(arguments).exitCode; }

    QString wine(const QStringList& arguments) {
        QByteArray out;
        const int status = m_session.run("wine", arguments, &out);
        return QString::fromLocal8Bit(out) + QStringLiteral("<exit %1>").arg(status);
    }

    int regAdd(const QString& key, const QString& name, const QString& data, const char* type = "REG_SZ",
               const QStringList& view = {}) {
        return m_session.run("wine", QStringList{"reg", "add", key, "/v", name, "/t",
                                                 QString::fromLatin1(type), "/d", data, "/f"} +
                                         view);
    }

private slots:
    void initTestCase() {
        if (!sw::test::WineSession::available())
            QSKIP("Wine is not installed (no wine or wineserver on PATH)");
        QVERIFY(m_dir.isValid() && m_cli.isValid());
        m_cli.setVariable("WINEPREFIX", m_prefix);
        m_session.setVariable("HOME", m_cli.home());
        m_session.setVariable("XDG_CONFIG_HOME", m_cli.home() + "/config");
        m_session.boot();
        QCOMPARE(m_session.waitForServer(300000), 0);
        QVERIFY2(WinePrefix(m_prefix).isValid(), qPrintable(WinePrefix(m_prefix).problem()));

        // One session for all additions: its first start runs the Run keys (still empty then); the
        // later ones join it while the server is kept alive. RunOnce last.
        QCOMPARE(m_session.run("wineserver", {"-p5"}), 0);
        for (const char* name : {"Tool", "Gone"})
            QCOMPARE(regAdd(kRun, name, QStringLiteral("\"C:\\absent\\%1.exe\" /x").arg(name)), 0);
        QCOMPARE(regAdd(kRun, "Off", "rem " + kEndsAtOnce), 0);
        QCOMPARE(regAdd(kMachineRun, "Expanded", "%SystemRoot%\\system32\\cmd.exe /c exit", "REG_EXPAND_SZ"),
                 0);
        QCOMPARE(regAdd(kRun, "Number", "1", "REG_DWORD"), 0);
        // A 32-bit installer's machine-wide entry: Wine puts it below Wow6432Node.
        QCOMPARE(regAdd(kMachineRun, "Launcher32", kEndsAtOnce, "REG_SZ", {"/reg:32"}), 0);
        QCOMPARE(regAdd(kRun + "Once", "Once", "cmd /c exit"), 0);
        QCOMPARE(regAdd(kMachineRun + "Once", "Machine Once", "REM C:\\windows\\absent.exe"), 0);
        // While the server runs, every write is refused and says why.
        const sw::test::CliResult refused = m_cli.run({"disable", "Tool", "--yes"});
        QCOMPARE(refused.exitCode, 3);
        QVERIFY2(refused.err.contains("Wine") && refused.err.count('\n') == 1, refused.err.constData());
        QCOMPARE(m_session.waitForServer(300000), 0);

        const Platform platform = makeWinePlatform(m_prefix);
        m_shortcut = platform.system->getSpecialFolder(7, true, false) + "\\Tool.lnk";
        ShortcutInfo info;
        info.target = "C:\\windows\\notepad.exe";
        platform.newShortcutFile()->createShortcut(m_shortcut, info);
        info.target = "C:\\Program Files\\Gone\\gone.exe";
        platform.newShortcutFile()->createShortcut(
            platform.system->getSpecialFolder(24, true, false) + "\\Missing.lnk", info);
    }

    void listsWhatWineWrote() {
        const sw::test::CliResult listed = m_cli.run({"list"});
        QCOMPARE(listed.exitCode, 0);
        QStringList rows;
        for (const QByteArray& line : listed.out.split('\n')) {
            const QStringList fields = QString::fromUtf8(line).split('\t');
            if (fields.size() == 7)
                rows << fields[0] + '|' + fields[4];
        }
        // Whether each row is valid and active, and the order, are the listing's own test; here every row
        // Wine wrote must be there, in its place.
        QStringList expected{"Tool|Run (current user)",
                             "Gone|Run (current user)",
                             "Off|Run (current user)",
                             "Number|Run (current user)",
                             "Once|RunOnce (current user)",
                             "Expanded|Run (all users)",
                             "Launcher32|Run (all users, 32-bit)",
                             "Machine Once|RunOnce (all users)",
                             "Missing.lnk|Startup folder (all users)",
                             "Tool.lnk|Startup folder (current user)"};
        rows.sort();
        expected.sort();
        QCOMPARE(rows, expected);
    }

    void wineReadsWhatTheCommandsWrote() {
        QCOMPARE(cli({"disable", "Tool", "--place", "LOCAL RUN", "--yes"}), 0);
        QCOMPARE(cli({"disable", "Tool.lnk", "--yes"}), 0);
        QCOMPARE(cli({"disable", "Expanded", "--yes"}), 0);
        QCOMPARE(cli({"disable", "Number", "--yes"}), 4); // holds no text: never rewritten
        QString query = wine({"reg", "query", kRun, "/v", "Tool"});
        QVERIFY2(query.contains("REM \"C:\\absent\\Tool.exe\" /x"), qPrintable(query));
        query = wine({"reg", "query", kMachineRun, "/v", "Expanded"});
        QVERIFY2(query.contains("Expanded    REG_EXPAND_SZ    REM %SystemRoot%\\system32\\cmd.exe /c exit"),
                 qPrintable(query));
        query = wine({"reg", "query", kRun, "/v", "Number"});
        QVERIFY2(query.contains("Number    REG_DWORD    0x1"), qPrintable(query));
        const QString attrib = wine({"attrib", m_shortcut});
        QVERIFY2(attrib.section(QStringLiteral("C:\\"), 0, 0).contains('H') && attrib.contains("Tool.lnk"),
                 qPrintable(attrib));
        QCOMPARE(m_session.waitForServer(300000), 0);

        QCOMPARE(cli({"enable", "Tool", "--place", "LOCAL RUN", "--yes"}), 0);
        QCOMPARE(cli({"enable", "Expanded", "--yes"}), 0);
        QCOMPARE(cli({"edit", "Expanded", "--name", "Expanded Too"}), 0);
        QCOMPARE(cli({"delete", "Gone", "--yes"}), 0);
        QCOMPARE(cli({"add", "Added", "--program", kEndsAtOnce, "--place", "LOCAL RUN", "--yes"}), 0);
        query = wine({"reg", "query", kRun});
        QVERIFY2(query.contains("\"C:\\absent\\Tool.exe\" /x") && !query.contains("REM "), qPrintable(query));
        QVERIFY2(!query.contains("Gone") && query.contains("Added    REG_SZ    " + kEndsAtOnce),
                 qPrintable(query));
        query = wine({"reg", "query", kMachineRun});
        QVERIFY2(query.contains("Expanded Too    REG_EXPAND_SZ    %SystemRoot%\\system32\\cmd.exe /c exit") &&
                     !query.contains("REM") && !query.contains("Expanded    "),
                 qPrintable(query));
        const QString backup = wine({"reg", "query", kBackup, "/v", "Gone"});
        QVERIFY2(backup.contains("\"C:\\absent\\Gone.exe\" /x") && backup.endsWith("<exit 0>"),
                 qPrintable(backup));
        QCOMPARE(m_session.waitForServer(300000), 0);
    }

    // The machine's 32-bit view and the services' keys, written by the commands, read by Wine's reg.
    void wineReadsTheNewPlaces() {
        QCOMPARE(cli({"disable", "Launcher32", "--yes"}), 0);
        QCOMPARE(cli({"add", "Svc", "--program", kEndsAtOnce, "--place", "RUNSERVICES"}), 0);
        QCOMPARE(cli({"add", "Moved", "--program", kEndsAtOnce, "--place", "RUNSERVICESONCE"}), 0);
        QCOMPARE(cli({"edit", "Moved", "--place", "RUNSERVICESONCE", "--to", "ALL RUN32"}), 0);
        // Wine's next start would run and remove it: it goes before Wine starts again.
        QCOMPARE(cli({"add", "Once32", "--program", kEndsAtOnce, "--place", "ALL RUNONCE32"}), 0);
        QCOMPARE(cli({"delete", "Once32", "--yes"}), 0);
        QString query = wine({"reg", "query", kMachineRun, "/reg:32"});
        QVERIFY2(query.contains("Launcher32    REG_SZ    REM " + kEndsAtOnce) &&
                     query.contains("Moved    REG_SZ    " + kEndsAtOnce) && !query.contains("Expanded"),
                 qPrintable(query));
        query = wine({"reg", "query", kMachineRun + "Services"});
        QVERIFY2(query.contains("Svc    REG_SZ    " + kEndsAtOnce) && query.contains("winemenubuilder"),
                 qPrintable(query));
        query = wine({"reg", "query", kMachineRun + "ServicesOnce"});
        QVERIFY2(!query.contains("Moved"), qPrintable(query));
        query = wine({"reg", "query", kBackup.chopped(11) + "HKEY_LM\\RunOnce32", "/v", "Once32"});
        QVERIFY2(query.contains("Once32    REG_SZ    " + kEndsAtOnce), qPrintable(query));
        QCOMPARE(m_session.waitForServer(300000), 0);
    }
};

QTEST_GUILESS_MAIN(CliWineTest)
#include "cli_wine_test.moc"
