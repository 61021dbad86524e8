// Killing startwarden-cli at spread-out moments of disable, enable and delete on a copy of a prefix
// that Wine 8 wrote: after every kill each registry file is as it was or as one of the step's writes
// left it (apart from the write's time stamps), a deleted entry is always in its place or complete in
// its backup, and the temporaries a killed write left are gone after the next write.
#include "platform/registry_store.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

#include <csignal>
#include <sys/xattr.h>

using namespace sw;
using sw::test::TempPrefix;

namespace {

const QString kBuiltProgram = QStringLiteral(SW_BINARY_DIR "/StartWarden/Program/startwarden-cli");
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

QByteArray dosAttrib(const QString& hostFile) {
    char buffer[32];
    const ssize_t n =
        ::getxattr(QFile::encodeName(hostFile).constData(), "user.DOSATTRIB", buffer, sizeof buffer);
    return n < 0 ? QByteArray() : QByteArray(buffer, n);
}

QStringList temporariesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.swtmp-*")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

struct Step {
    const char* command;
    QString name;
    const char* place;
    // the registry states the step may leave, written on the reference prefix one write at a time
    std::function<void(RegistryStore&)> writes[2];
};

} // namespace

class EntryCommandsKillTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_tree;
    QString m_program;
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
        QVERIFY(writeAll(m_userStartup + "/Tool.lnk", readAll(sw::test::fixture("tool_full.lnk"))));
        QVERIFY(writeAll(m_userStartup + "/Hidden.lnk", readAll(sw::test::fixture("example.lnk"))));
        QVERIFY(writeAll(m_commonStartup + "/Shared.lnk", readAll(sw::test::fixture("tool_umlaut.lnk"))));
        ::removexattr(QFile::encodeName(m_userStartup + "/Tool.lnk").constData(), "user.DOSATTRIB");
        QCOMPARE(::setxattr(QFile::encodeName(m_userStartup + "/Hidden.lnk").constData(), "user.DOSATTRIB",
                            "0x2", 3, 0),
                 0);
        for (const char* copy : {"Local User/Tool.lnk", "All Users/Shared.lnk"})
            QFile::remove(m_backups + copy);
    }

    QProcess* start(const Step& step) const {
        auto* process = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_tree.filePath("home"));
        env.insert("XDG_CONFIG_HOME", m_tree.filePath("home/config"));
        process->setProcessEnvironment(env);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(m_program, {"--prefix", m_prefix.path(), step.command, step.name, "--place",
                                   QLatin1String(step.place), "--yes"});
        return process;
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(kBuiltProgram), qPrintable(kBuiltProgram));
        QVERIFY(QDir(m_tree.path()).mkpath("Program"));
        m_program = m_tree.filePath("Program/startwarden-cli");
        QVERIFY(QFile::copy(kBuiltProgram, m_program));
        QVERIFY(QFile::link(QStringLiteral(SW_BINARY_DIR "/StartWarden/Data"), m_tree.filePath("Data")));
        m_backups = m_tree.filePath("Program/Backups/Startmenu/");

        // Wine's own files, with an inactive entry added and the backup places made as at the first start
        QVERIFY(
            writeAll(m_prefix.hostPath("user.reg"), readAll(sw::test::fixture("registry/wine8_user.reg"))));
        QVERIFY(writeAll(m_prefix.hostPath("system.reg"),
                         readAll(sw::test::fixture("registry/wine8_system_excerpt.reg"))));
        WineRegistryStore store(m_prefix.path());
        store.WriteStringValue(kHkeyCurrentUser, kRun, "Off", "REM C:\\windows\\notepad.exe");
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

private:
    QList<Step> steps() const {
        const auto toggle = [](std::int32_t root, const QString& name, const QString& data) {
            return [=](RegistryStore& s) { s.WriteStringValue(root, kRun, name, data); };
        };
        const auto backUp = [](std::int32_t root, const QString& name, const char* leaf) {
            return [=](RegistryStore& s) {
                s.CopyValue(root, kRun, name, kHkeyCurrentUser, kBackups + QLatin1String(leaf), name);
            };
        };
        const auto remove = [](std::int32_t root, const QString& name) {
            return [=](RegistryStore& s) { s.DeleteValue(root, kRun, name); };
        };
        return {
            {"disable",
             "Test",
             "LOCAL RUN",
             {toggle(kHkeyCurrentUser, "Test", "REM C:\\x y\\a.exe /min"), {}}},
            {"enable", "Off", "LOCAL RUN", {toggle(kHkeyCurrentUser, "Off", "C:\\windows\\notepad.exe"), {}}},
            {"delete",
             kUebung,
             "LOCAL RUN",
             {backUp(kHkeyCurrentUser, kUebung, "\\HKEY_CU\\Run"), remove(kHkeyCurrentUser, kUebung)}},
            {"disable",
             "MachineApp",
             "ALL RUN",
             {toggle(kHkeyLocalMachine, "MachineApp", "REM C:\\m.exe"), {}}},
            {"delete",
             "MachineApp",
             "ALL RUN",
             {backUp(kHkeyLocalMachine, "MachineApp", "\\HKEY_LM\\Run"),
              remove(kHkeyLocalMachine, "MachineApp")}},
            {"disable", "Tool.lnk", "LOCAL USER", {}},
            {"enable", "Hidden.lnk", "LOCAL USER", {}},
            {"delete", "Tool.lnk", "LOCAL USER", {}},
            {"delete", "Shared.lnk", "ALL USERS", {}},
        };
    }

    struct Outcome {
        bool killed = false;
        bool changed = false; // the prefix shows some write of the step
        bool halfway = false; // a deleted entry backed up but not yet removed
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

        std::unique_ptr<QProcess> process(start(step));
        QVERIFY(process->waitForStarted(10000));
        if (delay >= 0)
            QThread::usleep(static_cast<unsigned long>(delay));
        outcome.killed = delay >= 0 && process->state() == QProcess::Running;
        if (outcome.killed)
            ::kill(pid_t(process->processId()), SIGKILL);
        QVERIFY(process->waitForFinished(30000));
        if (!outcome.killed)
            QCOMPARE(process->exitCode(), 0);

        const QByteArray user = readAll(m_prefix.hostPath("user.reg"));
        const QByteArray system = readAll(m_prefix.hostPath("system.reg"));
        const int userAt = user == m_userReg ? 0 : int(userStates.indexOf(withoutTimes(user)));
        const int systemAt = system == m_systemReg ? 0 : int(systemStates.indexOf(withoutTimes(system)));
        const QString after =
            QStringLiteral(" after %1 %2, killed after %3 us").arg(step.command, step.name).arg(delay);
        QVERIFY2(userAt >= 0, qPrintable("user.reg is torn" + after));
        QVERIFY2(systemAt >= 0, qPrintable("system.reg is torn" + after));
        outcome.changed = userAt > 0 || systemAt > 0;
        if (step.writes[0]) {
            if (!outcome.killed)
                QCOMPARE(std::max(userAt, systemAt), int(step.writes[1] ? 2 : 1));
            if (step.writes[1]) {
                // never in neither place: the original goes only after its backup is written
                const bool removed = (step.name == QLatin1String("MachineApp") ? systemAt : userAt) == 2;
                const bool backedUp = userAt >= 1;
                QVERIFY2(!removed || backedUp, qPrintable("lost" + after));
                outcome.halfway = backedUp && !removed;
            }
            return;
        }

        // Startup files: the mark is wholly set or not; a deleted file is whole in its backup
        QCOMPARE(user, m_userReg);
        const bool common = QLatin1String(step.place) == QLatin1String("ALL USERS");
        const QString shortcut = (common ? m_commonStartup : m_userStartup) + "/" + step.name;
        if (QLatin1String(step.command) == QLatin1String("delete")) {
            const QString copy = m_backups + (common ? "All Users/" : "Local User/") + step.name;
            const QByteArray original =
                readAll(sw::test::fixture(common ? "tool_umlaut.lnk" : "tool_full.lnk"));
            QVERIFY2(!QFile::exists(copy) || readAll(copy) == original, qPrintable("torn backup" + after));
            QVERIFY2(QFile::exists(shortcut) || QFile::exists(copy), qPrintable("lost" + after));
            outcome.changed = !QFile::exists(shortcut);
        } else {
            const QByteArray mark = dosAttrib(shortcut);
            QVERIFY(mark.isEmpty() || mark == "0x2");
            outcome.changed = (mark == "0x2") == (QLatin1String(step.command) == QLatin1String("disable"));
        }
        QVERIFY(outcome.killed || outcome.changed);
    }

private slots:
    void everyKillLeavesAWholeState() {
        const QList<Step> all = steps();
        // How long one whole command takes; kills spread over that time and a little beyond, half
        // of them in its second half where the writes are.
        QElapsedTimer clock;
        clock.start();
        Outcome whole;
        runStep(all.first(), -1, whole);
        if (QTest::currentTestFailed())
            return;
        const qint64 fullRun = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);

        int kills = 0, changed = 0, halfway = 0, leftovers = 0;
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
            halfway += outcome.killed && outcome.halfway;
            leftovers +=
                !temporariesBelow(m_prefix.path()).isEmpty() || !temporariesBelow(m_backups).isEmpty();
        }

        // One whole run of every step removes what killed writes left beside its files.
        for (const Step& step : all) {
            runStep(step, -1, whole);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(temporariesBelow(m_prefix.path()), QStringList());
        QCOMPARE(temporariesBelow(m_backups), QStringList());

        qInfo(
            "%d kills (%d after a change, %d between backup and removal), %d times temporaries left; one run "
            "takes %lld us",
            kills, changed, halfway, leftovers, static_cast<long long>(fullRun));
        QVERIFY(kills > 0);
    }
};

QTEST_GUILESS_MAIN(EntryCommandsKillTest)
#include "entry_commands_kill_test.moc"
