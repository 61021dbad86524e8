// Killing startwarden-cli at spread-out moments of disable, enable and delete on a copy of a prefix
// that Wine 8 wrote: after every kill each registry file is as it was or as one of the step's writes
// left it (apart from the write's time stamps), a deleted entry is always in its place or complete in
// its backup, and the temporaries a killed write left are gone after the next write.
#include "cli_copy.h"
#include "platform/registry_store.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <functional>

#include <csignal>
#include <sys/xattr.h>

using namespace sw;
using sw::test::TempPrefix;

namespace {

const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kBackups =
    QStringLiteral("Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\Backups");
const QString kUebung = QString::fromUtf8("\xc3\x9c"
                                          "bung");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// A registry file without the times a write stamps on the keys it touches.
QByteArray withoutTimes(const QByteArray& file) {
    static const QRegularExpression times(QStringLiteral("(\\n\\[[^\\n]*\\]) \\d+|\\n#time=[0-9a-f]+"));
    return QString::fromUtf8(file).replace(times, QStringLiteral("\\1")).toUtf8();
}

bool hasTemporaries(const QString& folder) {
    return QDirIterator(folder, {QStringLiteral("*.swtmp-*")}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories)
        .hasNext();
}

struct Step {
    const char* command;
    QString name;
    const char* place;
    // the registry states the step may leave, written on the reference prefix one write at a time
    std::function<void(RegistryStore&)> writes[2];
};

// Deleting a value: its backup is written first, then the value removed.
Step deleteValue(const QString& name, std::int32_t root, const char* place, const char* leaf) {
    return {"delete",
            name,
            place,
            {[=](RegistryStore& s) {
                 s.CopyValue(root, kRun, name, kHkeyCurrentUser, kBackups + QLatin1String(leaf), name);
             },
             [=](RegistryStore& s) { s.DeleteValue(root, kRun, name); }}};
}

} // namespace

class EntryCommandsKillTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;
    TempPrefix m_prefix;
    TempPrefix m_reference;
    QString m_userStartup, m_commonStartup, m_backups;
    QByteArray m_userReg, m_systemReg;

    // Puts the prefix (or the reference) back as the loop starts every step; temporaries stay.
    void reset(const TempPrefix& prefix, bool files) {
        QVERIFY(writeAll(prefix.hostPath("user.reg"), m_userReg));
        QVERIFY(writeAll(prefix.hostPath("system.reg"), m_systemReg));
        if (!files)
            return;
        QVERIFY(writeAll(m_userStartup + "/Hidden.lnk", readAll(sw::test::fixture("example.lnk"))));
        QVERIFY(writeAll(m_commonStartup + "/Shared.lnk", readAll(sw::test::fixture("tool_umlaut.lnk"))));
        QCOMPARE(::setxattr(QFile::encodeName(m_userStartup + "/Hidden.lnk").constData(), "user.DOSATTRIB",
                            "0x2", 3, 0),
                 0);
        QFile::remove(m_backups + "All Users/Shared.lnk");
    }

    struct Outcome {
        bool killed = false;
        bool changed = false; // the prefix shows some write of the step
    };

    // Runs the step from the base state, kills it after delay microseconds unless it ended (a
    // negative delay waits for its end), and checks what it left.
    void runStep(const Step& step, qint64 delay, Outcome& outcome) {
        reset(m_prefix, true);
        // The registry files each write of the step leaves, without their times.
        reset(m_reference, false);
        QList<QByteArray> userStates{m_userReg}, systemStates{m_systemReg};
        for (const auto& write : step.writes) {
            if (!write)
                continue;
            WineRegistryStore reference(m_reference.path());
            write(reference);
            userStates << withoutTimes(readAll(m_reference.hostPath("user.reg")));
            systemStates << withoutTimes(readAll(m_reference.hostPath("system.reg")));
        }

        QProcess process;
        m_cli.start(process, {"--prefix", m_prefix.path(), step.command, step.name, "--place",
                              QLatin1String(step.place), "--yes"});
        QVERIFY(process.waitForStarted(10000));
        if (delay >= 0)
            QThread::usleep(static_cast<unsigned long>(delay));
        outcome.killed = delay >= 0 && process.state() == QProcess::Running;
        if (outcome.killed)
            ::kill(pid_t(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(30000));
        if (!outcome.killed)
            QCOMPARE(process.exitCode(), 0);

        const QByteArray user = readAll(m_prefix.hostPath("user.reg"));
        const QByteArray system = readAll(m_prefix.hostPath("system.reg"));
        const int userAt = user == m_userReg ? 0 : int(userStates.indexOf(withoutTimes(user)));
        const int systemAt = system == m_systemReg ? 0 : int(systemStates.indexOf(withoutTimes(system)));
        const QString after =
            QStringLiteral(" after %1 %2, killed after %3 us").arg(step.command, step.name).arg(delay);
        QVERIFY2(userAt >= 0 && systemAt >= 0, qPrintable("a registry file is torn" + after));
        outcome.changed = userAt > 0 || systemAt > 0;
        if (step.writes[0]) {
            if (!outcome.killed)
                QCOMPARE(std::max(userAt, systemAt), int(step.writes[1] ? 2 : 1));
            // never in neither place: the original goes only after its backup is written
            const bool removed = (step.name == QLatin1String("MachineApp") ? systemAt : userAt) == 2;
            QVERIFY2(!removed || userAt >= 1, qPrintable("lost" + after));
            return;
        }

        // Startup files: the mark is wholly cleared or not; a deleted file is whole in its backup
        QCOMPARE(user, m_userReg);
        if (QLatin1String(step.command) == QLatin1String("delete")) {
            const QString shortcut = m_commonStartup + "/" + step.name;
            const QString copy = m_backups + "All Users/" + step.name;
            const QByteArray original = readAll(sw::test::fixture("tool_umlaut.lnk"));
            QVERIFY2(!QFile::exists(copy) || readAll(copy) == original, qPrintable("torn backup" + after));
            QVERIFY2(QFile::exists(shortcut) || QFile::exists(copy), qPrintable("lost" + after));
            outcome.changed = !QFile::exists(shortcut);
        } else {
            char mark[32];
            const ssize_t n = ::getxattr(QFile::encodeName(m_userStartup + "/" + step.name).constData(),
                                         "user.DOSATTRIB", mark, sizeof mark);
            QVERIFY(n < 0 || QByteArray(mark, n) == "0x2");
            outcome.changed = n < 0;
        }
        QVERIFY(outcome.killed || outcome.changed);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cli.isValid());
        m_backups = m_cli.backupFolder({});

        // Wine's own files, with the backup places made as at the first start
        QVERIFY(
            writeAll(m_prefix.hostPath("user.reg"), readAll(sw::test::fixture("registry/wine8_user.reg"))));
        QVERIFY(writeAll(m_prefix.hostPath("system.reg"),
                         readAll(sw::test::fixture("registry/wine8_system_excerpt.reg"))));
        WineRegistryStore store(m_prefix.path());
        for (const char* leaf :
             {"\\HKEY_LM\\Run", "\\HKEY_LM\\RunOnce", "\\HKEY_CU\\Run", "\\HKEY_CU\\RunOnce"})
            store.CreateKey(kHkeyCurrentUser, kBackups + leaf);
        QVERIFY(QDir().mkpath(m_backups + "Local User") && QDir().mkpath(m_backups + "All Users"));
        m_userReg = readAll(m_prefix.hostPath("user.reg"));
        m_systemReg = readAll(m_prefix.hostPath("system.reg"));

        const Platform platform = makeWinePlatform(m_prefix.path());
        const WineFileSystem files(m_prefix.path());
        m_userStartup = files.hostPath(platform.system->GetSpecialFolder(7, true, false));
        m_commonStartup = files.hostPath(platform.system->GetSpecialFolder(24, true, false));
        QVERIFY(!m_userStartup.isEmpty() && !m_commonStartup.isEmpty());
    }

    void everyKillLeavesAWholeState() {
        const QList<Step> all{
            {"disable",
             "Test",
             "LOCAL RUN",
             {[](RegistryStore& s) {
                  s.WriteStringValue(kHkeyCurrentUser, kRun, "Test", "REM C:\\x y\\a.exe /min");
              },
              {}}},
            deleteValue(kUebung, kHkeyCurrentUser, "LOCAL RUN", "\\HKEY_CU\\Run"),
            deleteValue("MachineApp", kHkeyLocalMachine, "ALL RUN", "\\HKEY_LM\\Run"),
            {"enable", "Hidden.lnk", "LOCAL USER", {}},
            {"delete", "Shared.lnk", "ALL USERS", {}},
        };
        // How long one whole command takes; kills spread over that time and a little beyond, half
        // of them in its second half where the writes are.
        QElapsedTimer clock;
        clock.start();
        Outcome whole;
        runStep(all.first(), -1, whole);
        if (QTest::currentTestFailed())
            return;
        const qint64 fullRun = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);

        int kills = 0, changed = 0;
        QElapsedTimer budget;
        budget.start();
        for (int i = 0; budget.elapsed() < 4000 && i < 400; ++i) {
            const qint64 delay = (i / all.size()) % 2 == 0 ? fullRun * (i * 37 % 100) / 100
                                                           : fullRun / 2 + fullRun * (i * 53 % 70) / 100;
            Outcome outcome;
            runStep(all[i % all.size()], delay, outcome);
            if (QTest::currentTestFailed())
                return;
            kills += outcome.killed;
            changed += outcome.killed && outcome.changed;
        }

        // One whole run of every step removes what killed writes left beside its files.
        for (const Step& step : all) {
            runStep(step, -1, whole);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(!hasTemporaries(m_prefix.path()) && !hasTemporaries(m_backups));
        qInfo("%d kills, %d after a change; one run takes %lld us", kills, changed,
              static_cast<long long>(fullRun));
        QVERIFY(kills > 0);
    }
};

QTEST_GUILESS_MAIN(EntryCommandsKillTest)
#include "entry_commands_kill_test.moc"
