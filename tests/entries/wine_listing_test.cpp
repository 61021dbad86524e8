// The listing of a prefix that Wine made and filled with its own tools, read through the command
// line front end. Wine starts are few: a cold start costs many seconds, and every new session of
// the prefix runs (and so removes) its RunOnce entries.
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

const QString kProgram = QStringLiteral(SW_BINARY_DIR "/StartWarden/Program/startwarden-cli");
const QString kRunKey = QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

} // namespace

class WineListingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath("prefix");
    sw::test::WineSession m_session{m_prefix};

    int regAdd(const QString& key, const QString& name, const QString& data, const char* type = "REG_SZ") {
        return m_session.run(
            "wine", {"reg", "add", key, "/v", name, "/t", QString::fromLatin1(type), "/d", data, "/f"});
    }

private slots:
    void initTestCase() {
        if (!sw::test::WineSession::available())
            QSKIP("Wine is not installed (no wine or wineserver on PATH)");
        QVERIFY(QFile::exists(kProgram));
        QVERIFY(m_dir.isValid());
        // Wine and the command line front end keep their settings inside the test's folder.
        m_session.setVariable("HOME", m_dir.path());
        m_session.setVariable("XDG_CONFIG_HOME", m_dir.filePath("config"));
        m_session.boot();
        QCOMPARE(m_session.waitForServer(300000), 0);
        QVERIFY2(WinePrefix(m_prefix).isValid(), qPrintable(WinePrefix(m_prefix).problem()));
    }

    void listsWhatWineWrote() {
        // One session for all additions: the first start of a session runs the Run keys (still
        // empty then); the later ones join it while the server is kept alive.
        QCOMPARE(m_session.run("wineserver", {"-p5"}), 0);
        QCOMPARE(regAdd("HKCU" + kRunKey, "Notepad", "C:\\windows\\system32\\notepad.exe"), 0);
        QCOMPARE(regAdd("HKCU" + kRunKey, "Off", "rem C:\\windows\\notepad.exe /x"), 0);
        QCOMPARE(regAdd("HKLM" + kRunKey, "Gone", "\"C:\\Program Files\\Gone\\gone.exe\" /x"), 0);
        QCOMPARE(regAdd("HKLM" + kRunKey, "Editor", "\"C:\\windows\\regedit.exe\" /s"), 0);
        QCOMPARE(regAdd("HKLM" + kRunKey, "Expanded", "%SystemRoot%\\system32\\notepad.exe", "REG_EXPAND_SZ"),
                 0);
        // RunOnce last: the next session would consume them.
        QCOMPARE(regAdd("HKCU" + kRunKey + "Once", "Once", "notepad /s"), 0);
        QCOMPARE(regAdd("HKLM" + kRunKey + "Once", "Machine Once", "REM C:\\windows\\absent.exe"), 0);
        QCOMPARE(m_session.waitForServer(300000), 0);

        const Platform platform = makeWinePlatform(m_prefix);
        const QString user = platform.system->GetSpecialFolder(7, true, false);
        const QString common = platform.system->GetSpecialFolder(24, true, false);
        QVERIFY(!user.isEmpty() && !common.isEmpty());
        const auto link = [&](const QString& path, const QString& target) {
            ShortcutInfo info;
            info.target = target;
            info.workingPath = target;
            platform.newShortcutFile()->CreateShortcut(path, info);
        };
        link(user + "\\Notepad.lnk", "C:\\windows\\notepad.exe");
        link(user + "\\Hidden.lnk", "C:\\windows\\regedit.exe");
        link(common + "\\Missing.lnk", "C:\\Program Files\\Gone\\gone.exe");
        bool marked = true;
        try {
            platform.fileSystem->setAttributes(user + "\\Hidden.lnk", {false, true, false, false});
        } catch (const std::exception&) {
            marked = false;
        }

        QProcess cli;
        cli.setProcessEnvironment(m_session.environment());
        cli.start(kProgram, {"list"}); // the prefix from WINEPREFIX
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QStringList rows;
        for (const QByteArray& line : cli.readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            const QStringList fields = QString::fromUtf8(line).split('\t');
            QCOMPARE(fields.size(), 7);
            rows << QStringList{fields[0], fields[2], fields[3], fields[4]}.join('|');
        }
        QStringList expected = {
            "Notepad|Yes|Yes|Run (current user)",
            "Off|Yes|No|Run (current user)",
            "Once|Yes|Yes|RunOnce (current user)",
            "Gone|No|Yes|Run (all users)",
            "Editor|Yes|Yes|Run (all users)",
            "Expanded|Yes|Yes|Run (all users)",
            "Machine Once|No|No|RunOnce (all users)",
            "Missing.lnk|No|Yes|Startup folder (all users)",
            QStringLiteral("Hidden.lnk|Yes|%1|Startup folder (current user)").arg(marked ? "No" : "Yes"),
            "Notepad.lnk|Yes|Yes|Startup folder (current user)",
        };
        // Within a place the order is Wine's own; the places come in their fixed order.
        QStringList places;
        for (const QString& row : std::as_const(rows))
            if (places.isEmpty() || places.last() != row.section('|', 3))
                places << row.section('|', 3);
        QCOMPARE(places, QStringList({"Run (current user)", "RunOnce (current user)", "Run (all users)",
                                      "RunOnce (all users)", "Startup folder (all users)",
                                      "Startup folder (current user)"}));
        rows.sort();
        expected.sort();
        QCOMPARE(rows, expected);
    }
};

QTEST_GUILESS_MAIN(WineListingTest)
#include "wine_listing_test.moc"
