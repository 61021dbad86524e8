// disable, enable, delete, add and edit through startwarden-cli on a prefix that wineboot made, read back
// with Wine's own reg and attrib. Each check starts a Wine session, and the command line refuses to write
// while one runs, so the session ends before every write.
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
const QString kBackup =
    QStringLiteral("HKCU\\Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\Backups\\HKEY_CU\\Run");

} // namespace

class EntryCommandsWineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath("prefix");
    QString m_program;
    QString m_shortcut; // Windows path of a shortcut in the user's Startup folder
    sw::test::WineSession m_session{m_prefix};

    int cli(const QStringList& arguments, QByteArray* err = nullptr) {
        QProcess process;
        process.setProcessEnvironment(m_session.environment());
        process.start(m_program, QStringList{"--prefix", m_prefix} + arguments + QStringList{"--yes"});
        if (!process.waitForFinished(60000))
            return -1;
        if (err)
            *err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QString wine(const QStringList& arguments) {
        QByteArray out;
        const int status = m_session.run("wine", arguments, &out);
        return QString::fromLocal8Bit(out) + QStringLiteral("<exit %1>").arg(status);
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

        // Programs that do not exist: a session start may run the Run key.
        QCOMPARE(m_session.run("wineserver", {"-p5"}), 0);
        for (const char* name : {"Tool", "Gone"})
            QCOMPARE(m_session.run("wine", {"reg", "add", kRun, "/v", name, "/d",
                                            QStringLiteral("\"C:\\absent\\%1.exe\" /x").arg(name), "/f"}),
                     0);
        // While the server runs, every write is refused and says why.
        QByteArray refused;
        QCOMPARE(cli({"disable", "Tool"}, &refused), 3);
        QVERIFY2(refused.contains("Wine") && refused.count('\n') == 1, refused.constData());
        QCOMPARE(m_session.waitForServer(300000), 0);

        const Platform platform = makeWinePlatform(m_prefix);
        m_shortcut = platform.system->GetSpecialFolder(7, true, false) + "\\Tool.lnk";
        ShortcutInfo info;
        info.target = "C:\\windows\\notepad.exe";
        platform.newShortcutFile()->CreateShortcut(m_shortcut, info);
    }

    void wineReadsWhatTheCommandsWrote() {
        QCOMPARE(cli({"disable", "Tool", "--place", "LOCAL RUN"}), 0);
        QCOMPARE(cli({"disable", "Tool.lnk"}), 0);
        QString query = wine({"reg", "query", kRun, "/v", "Tool"});
        QVERIFY2(query.contains("REM \"C:\\absent\\Tool.exe\" /x"), qPrintable(query));
        const QString attrib = wine({"attrib", m_shortcut});
        const QString flags = attrib.section(QStringLiteral("C:\\"), 0, 0);
        QVERIFY2(flags.contains('H') && attrib.contains("Tool.lnk"), qPrintable(attrib));
        QCOMPARE(m_session.waitForServer(300000), 0);

        QCOMPARE(cli({"enable", "Tool", "--place", "LOCAL RUN"}), 0);
        QCOMPARE(cli({"delete", "Gone"}), 0);
        query = wine({"reg", "query", kRun});
        QVERIFY2(query.contains("\"C:\\absent\\Tool.exe\" /x") && !query.contains("REM "), qPrintable(query));
        QVERIFY2(!query.contains("Gone"), qPrintable(query));
        const QString backup = wine({"reg", "query", kBackup, "/v", "Gone"});
        QVERIFY2(backup.contains("\"C:\\absent\\Gone.exe\" /x") && backup.endsWith("<exit 0>"),
                 qPrintable(backup));
        QCOMPARE(m_session.waitForServer(300000), 0);
    }

    void wineReadsWhatAddAndEditWrote() {
        // A program that ends at once, should a session start run the Run key.
        const QString program = "\"C:\\windows\\system32\\cmd.exe\" /c exit";
        QCOMPARE(cli({"add", "Added", "--program", program, "--place", "LOCAL RUN"}), 0);
        QCOMPARE(cli({"add", "Moved", "--program", program, "--place", "LOCAL RUN"}), 0);
        QCOMPARE(cli({"edit", "Moved", "--to", "ALL USERS"}), 0);
        const QString query = wine({"reg", "query", kRun});
        QVERIFY2(query.contains("Added    REG_SZ    " + program) && !query.contains("Moved"),
                 qPrintable(query));
        const QString link =
            makeWinePlatform(m_prefix).system->GetSpecialFolder(24, false, false) + "\\Moved.lnk";
        const QString attrib = wine({"attrib", link});
        QVERIFY2(!attrib.section(QStringLiteral("C:\\"), 0, 0).contains('H') && attrib.contains("Moved.lnk"),
                 qPrintable(attrib));
        QCOMPARE(m_session.waitForServer(300000), 0);
    }
};

QTEST_GUILESS_MAIN(EntryCommandsWineTest)
#include "entry_commands_wine_test.moc"
