// startwarden-cli on a prefix that wineboot made: it lists what Wine's own reg wrote, and Wine's reg and
// attrib read back what its write commands wrote. Wine starts are few: a cold start costs many seconds,
// every new session of the prefix runs the Run keys (so the programs named either do not exist or end at
// once) and removes the RunOnce entries, and the command line refuses to write while a session runs, so
// the session ends before every write.
#include "platform/shortcut_file.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"
#include "wine_session.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

const QString kBuiltProgram = QStringLiteral(SW_BINARY_DIR "/StartWarden/Program/startwarden-cli");
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
    QString m_program;
    QString m_shortcut; // Windows path of a shortcut in the user's Startup folder
    sw::test::WineSession m_session{m_prefix};

    // Runs the program copy; the prefix comes from WINEPREFIX.
    int cli(const QStringList& arguments, QByteArray* out = nullptr, QByteArray* err = nullptr) {
        QProcess process;
        process.setProcessEnvironment(m_session.environment());
        process.start(m_program, arguments);
        if (!process.waitForFinished(60000))
            return -1;
        if (out)
            *out = process.readAllStandardOutput();
        if (err)
            *err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QString wine(const QStringList& arguments) {
        QByteArray out;
        const int status = m_session.run("wine", arguments, &out);
        return QString::fromLocal8Bit(out) + QStringLiteral("<exit %1>").arg(status);
    }

    int regAdd(const QString& key, const QString& name, const QString& data, const char* type = "REG_SZ") {
        return m_session.run(
            "wine", {"reg", "add", key, "/v", name, "/t", QString::fromLatin1(type), "/d", data, "/f"});
    }

private slots:
    void initTestCase() {
        if (!sw::test::WineSession::available())
            QSKIP("Wine is not installed (no wine or wineserver on PATH)");
        QVERIFY(QFile::exists(kBuiltProgram));
        QVERIFY(m_dir.isValid());
        // the program keeps its backups beside itself: run a copy
        QVERIFY(QDir(m_dir.path()).mkpath("Program"));
        m_program = m_dir.filePath("Program/startwarden-cli");
        QVERIFY(QFile::copy(kBuiltProgram, m_program));
        QVERIFY(QFile::link(QStringLiteral(SW_BINARY_DIR "/StartWarden/Data"), m_dir.filePath("Data")));
        m_session.setVariable("HOME", m_dir.path());
        m_session.setVariable("XDG_CONFIG_HOME", m_dir.filePath("config"));
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
        QCOMPARE(regAdd(kRun + "Once", "Once", "cmd /c exit"), 0);
        QCOMPARE(regAdd(kMachineRun + "Once", "Machine Once", "REM C:\\windows\\absent.exe"), 0);
        // While the server runs, every write is refused and says why.
        QByteArray refused;
        QCOMPARE(cli({"disable", "Tool", "--yes"}, nullptr, &refused), 3);
        QVERIFY2(refused.contains("Wine") && refused.count('\n') == 1, refused.constData());
        QCOMPARE(m_session.waitForServer(300000), 0);

        const Platform platform = makeWinePlatform(m_prefix);
        m_shortcut = platform.system->GetSpecialFolder(7, true, false) + "\\Tool.lnk";
        ShortcutInfo info;
        info.target = "C:\\windows\\notepad.exe";
        platform.newShortcutFile()->CreateShortcut(m_shortcut, info);
        info.target = "C:\\Program Files\\Gone\\gone.exe";
        platform.newShortcutFile()->CreateShortcut(
            platform.system->GetSpecialFolder(24, true, false) + "\\Missing.lnk", info);
    }

    void listsWhatWineWrote() {
        QByteArray out;
        QCOMPARE(cli({"list"}, &out), 0);
        QStringList rows, places;
        for (const QByteArray& line : out.split('\n')) {
            if (line.isEmpty())
                continue;
            const QStringList fields = QString::fromUtf8(line).split('\t');
            QCOMPARE(fields.size(), 7);
            rows << fields[0] + '|' + fields[4];
            if (places.isEmpty() || places.last() != fields[4])
                places << fields[4];
        }
        // Within a place the order is Wine's own; the places come in their fixed order.
        QCOMPARE(places, QStringList({"Run (current user)", "RunOnce (current user)", "Run (all users)",
                                      "RunOnce (all users)", "Startup folder (all users)",
                                      "Startup folder (current user)"}));
        // Whether each row is valid and active is the listing's own test; here the rows must all be there.
        QStringList expected{"Tool|Run (current user)",
                             "Gone|Run (current user)",
                             "Off|Run (current user)",
                             "Once|RunOnce (current user)",
                             "Expanded|Run (all users)",
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
        QString query = wine({"reg", "query", kRun, "/v", "Tool"});
        QVERIFY2(query.contains("REM \"C:\\absent\\Tool.exe\" /x"), qPrintable(query));
        const QString attrib = wine({"attrib", m_shortcut});
        QVERIFY2(attrib.section(QStringLiteral("C:\\"), 0, 0).contains('H') && attrib.contains("Tool.lnk"),
                 qPrintable(attrib));
        QCOMPARE(m_session.waitForServer(300000), 0);

        QCOMPARE(cli({"enable", "Tool", "--place", "LOCAL RUN", "--yes"}), 0);
        QCOMPARE(cli({"delete", "Gone", "--yes"}), 0);
        query = wine({"reg", "query", kRun});
        QVERIFY2(query.contains("\"C:\\absent\\Tool.exe\" /x") && !query.contains("REM "), qPrintable(query));
        QVERIFY2(!query.contains("Gone"), qPrintable(query));
        const QString backup = wine({"reg", "query", kBackup, "/v", "Gone"});
        QVERIFY2(backup.contains("\"C:\\absent\\Gone.exe\" /x") && backup.endsWith("<exit 0>"),
                 qPrintable(backup));
        QCOMPARE(m_session.waitForServer(300000), 0);
    }

    void wineReadsWhatAddAndEditWrote() {
        QCOMPARE(cli({"add", "Added", "--program", kEndsAtOnce, "--place", "LOCAL RUN", "--yes"}), 0);
        QCOMPARE(cli({"add", "Moved", "--program", kEndsAtOnce, "--place", "LOCAL RUN", "--yes"}), 0);
        QCOMPARE(cli({"edit", "Moved", "--to", "ALL USERS", "--yes"}), 0);
        const QString query = wine({"reg", "query", kRun});
        QVERIFY2(query.contains("Added    REG_SZ    " + kEndsAtOnce) && !query.contains("Moved"),
                 qPrintable(query));
        const QString link =
            makeWinePlatform(m_prefix).system->GetSpecialFolder(24, false, false) + "\\Moved.lnk";
        const QString attrib = wine({"attrib", link});
        QVERIFY2(!attrib.section(QStringLiteral("C:\\"), 0, 0).contains('H') && attrib.contains("Moved.lnk"),
                 qPrintable(attrib));
        QCOMPARE(m_session.waitForServer(300000), 0);
    }
};

QTEST_GUILESS_MAIN(CliWineTest)
#include "cli_wine_test.moc"
