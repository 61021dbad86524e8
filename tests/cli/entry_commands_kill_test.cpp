// Killing startwarden-cli at spread-out moments of disable, enable, delete, add, a replacing add, edit,
// restore and purge on a copy of a prefix that Wine 8 wrote: after every kill each registry file is as
// it was or as one of the step's writes left it (apart from the write's time stamps), an entry that
// moves (delete, restore, edit) is always whole in one of its two places, a replaced entry is backed up
// before it is overwritten, a file that is made or removed (add, purge) is whole or absent, and the
// temporaries a killed write left are gone after the next write.
#include "cli_copy.h"
#include "entries/places.h"
#include "fixture_bytes.h"
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
#include <algorithm>

#include <functional>

#include <csignal>

using namespace sw;
using sw::test::TempPrefix;

namespace {

const QString kRun = sw::test::kRunKey;
const QString kQuoted = QStringLiteral("\"C:\\x y\\a.exe\""); // a program the prefix holds

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

using Write = std::function<void(RegistryStore&)>;

struct Step {
    Step(const QStringList& commandLine, const QList<Write>& registryWrites, const QString& movedFrom = {},
         const QString& movedTo = {})
        : arguments(commandLine), writes(registryWrites), from(movedFrom), to(movedTo) {}
    QStringList arguments;
    QList<Write> writes; // the step's registry writes, in their order
    QString from, to;    // a file the step moves
    QString marked;      // a file whose hidden mark the step clears
    QString created;     // a file the step makes: absent, or as a whole run makes it
    QByteArray createdBytes;
    QString removed;             // a file the step removes: whole, or absent
    QList<QByteArray> states[2]; // user.reg and system.reg after 0, 1, ... writes, without times
};

// A value moved: copied first, then removed from where it was.
QList<Write> moveValue(std::int32_t root, const QString& key, std::int32_t toRoot, const QString& toKey,
                       const QString& name) {
    return {[=](RegistryStore& s) { s.copyValue(root, key, name, toRoot, toKey, name); },
            [=](RegistryStore& s) { s.deleteValue(root, key, name); }};
}

} // namespace

class EntryCommandsKillTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;
    TempPrefix m_prefix;
    QString m_userStartup, m_commonStartup;
    QByteArray m_base[2]; // user.reg and system.reg as every step starts
    QByteArray m_link;
    QList<Step> m_steps;

    static QString registryFile(const TempPrefix& prefix, int file) {
        return prefix.hostPath(file == 0 ? "user.reg" : "system.reg");
    }

    // Puts the prefix back as every step starts; temporaries stay.
    void reset() {
        for (int file : {0, 1})
            test::writeBytes(registryFile(m_prefix, file), m_base[file]);
        test::writeBytes(m_userStartup + "/Hidden.lnk", m_link);
        const QByteArray hidden = QFile::encodeName(m_userStartup + "/Hidden.lnk");
        QCOMPARE(::setxattr(hidden.constData(), "user.DOSATTRIB", "0x2", 3, 0), 0);
        test::writeBytes(m_commonStartup + "/Shared.lnk", m_link);
        test::writeBytes(m_prefix.backupFolder("Local User") + "/Tool.lnk", m_link);
        QFile::remove(m_prefix.backupFolder("All Users") + "/Shared.lnk");
        QFile::remove(m_userStartup + "/Tool.lnk");
        test::writeBytes(m_userStartup + "/Batch.bat", m_link);
        QFile::remove(m_userStartup + "/Renamed.bat");
        QFile::remove(m_userStartup + "/New.lnk");
    }

    // Runs the step from the base state, kills it after delay microseconds unless it ended (a
    // negative delay waits for its end), and checks what it left.
    void runStep(const Step& step, qint64 delay, bool& killed) {
        reset();
        QProcess process;
        m_cli.start(process,
                    QStringList{"--prefix", m_prefix.path()} + step.arguments + QStringList{"--yes"});
        QVERIFY(process.waitForStarted(10000));
        if (delay >= 0)
            QThread::usleep(static_cast<unsigned long>(delay));
        killed = delay >= 0 && process.state() == QProcess::Running;
        if (killed)
            ::kill(pid_t(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(30000));
        const QString after =
            QStringLiteral(" after %1, killed after %2 us").arg(step.arguments.join(' ')).arg(delay);
        QVERIFY2(killed || process.exitCode() == 0, qPrintable("failed" + after));

        // How many of the step's writes each registry file shows.
        int at[2];
        for (int file : {0, 1}) {
            const QByteArray now = test::fileBytes(registryFile(m_prefix, file));
            at[file] = now == m_base[file] ? 0 : int(step.states[file].indexOf(withoutTimes(now)));
            QVERIFY2(at[file] >= 0, qPrintable("a registry file is torn" + after));
        }
        const auto done = [&](int write) {
            for (int file : {0, 1})
                if (step.states[file][write] != step.states[file][write - 1] && at[file] >= write)
                    return true;
            return false;
        };
        for (int write = 1; write <= step.writes.size(); ++write) {
            QVERIFY2(killed || done(write), qPrintable("unfinished" + after));
            // never in neither place: the original goes only after its copy is written
            QVERIFY2(write == 1 || !done(write) || done(write - 1), qPrintable("lost" + after));
        }
        if (!step.from.isEmpty()) {
            const bool inFrom = QFile::exists(step.from), inTo = QFile::exists(step.to);
            QVERIFY2(inFrom || inTo, qPrintable("lost" + after));
            QVERIFY2(!inFrom || test::fileBytes(step.from) == m_link, qPrintable("torn original" + after));
            QVERIFY2(!inTo || test::fileBytes(step.to) == m_link, qPrintable("torn copy" + after));
            QVERIFY(killed || !inFrom);
        }
        if (!step.created.isEmpty()) {
            const bool made = QFile::exists(step.created);
            QVERIFY2(!made || test::fileBytes(step.created) == step.createdBytes, qPrintable("torn" + after));
            QVERIFY(killed || made);
        }
        if (!step.removed.isEmpty()) {
            const bool kept = QFile::exists(step.removed);
            QVERIFY2(!kept || test::fileBytes(step.removed) == m_link, qPrintable("torn" + after));
            QVERIFY(killed || !kept);
        }
        if (!step.marked.isEmpty()) {
            const QByteArray mark = test::dosAttrib(step.marked);
            QVERIFY2(mark == "<none>" || mark == "0x2", qPrintable(mark + after));
            QVERIFY(killed || mark == "<none>");
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cli.isValid());
        m_link = test::fixtureBytes("tool_umlaut.lnk");

        // Wine's own files, with the backup places made as at the first start and one backed-up value
        test::writeBytes(registryFile(m_prefix, 0), test::fixtureBytes("registry/wine8_user.reg"));
        test::writeBytes(registryFile(m_prefix, 1), test::fixtureBytes("registry/wine8_system_excerpt.reg"));
        {
            WineRegistryStore store(m_prefix.path());
            for (const Place& place : allPlaces())
                if (place.isRegistryKey())
                    store.createKey(kHkeyCurrentUser, place.backupLocation);
            store.writeStringValue(kHkeyCurrentUser, kBackupKey + "\\HKEY_LM\\Run", "Kept", "C:\\k.exe");
        }
        for (int file : {0, 1})
            m_base[file] = test::fileBytes(registryFile(m_prefix, file));
        QVERIFY(m_prefix.writeFile("drive_c/windows/notepad.exe", "MZ")); // what add and edit start
        QVERIFY(QDir().mkpath(m_prefix.backupFolder("Local User")) &&
                QDir().mkpath(m_prefix.backupFolder("All Users")));
        const Platform platform = makeWinePlatform(m_prefix.path());
        const WineFileSystem files(m_prefix.path());
        m_userStartup = files.hostPath(platform.system->getSpecialFolder(7, true, false));
        m_commonStartup = files.hostPath(platform.system->getSpecialFolder(24, true, false));
        QVERIFY(!m_userStartup.isEmpty() && !m_commonStartup.isEmpty());

        QVERIFY(m_prefix.writeFile("drive_c/x y/a.exe", "MZ")); // the program an edit must find
        const QString uebung = QString::fromUtf8("\xc3\x9c"
                                                 "bung");
        m_steps = {
            Step({"disable", "Test", "--place", "LOCAL RUN"}, {[](RegistryStore& s) {
                     s.writeStringValue(kHkeyCurrentUser, kRun, "Test", "REM C:\\x y\\a.exe /min");
                 }}),
            Step({"delete", uebung, "--place", "LOCAL RUN"},
                 moveValue(kHkeyCurrentUser, kRun, kHkeyCurrentUser, kBackupKey + "\\HKEY_CU\\Run", uebung)),
            Step({"delete", "MachineApp", "--place", "ALL RUN"},
                 moveValue(kHkeyLocalMachine, kRun, kHkeyCurrentUser, kBackupKey + "\\HKEY_LM\\Run",
                           "MachineApp")),
            Step({"restore", "Kept"},
                 moveValue(kHkeyCurrentUser, kBackupKey + "\\HKEY_LM\\Run", kHkeyLocalMachine, kRun, "Kept")),
            Step({"purge", "Kept"}, {[](RegistryStore& s) {
                     s.deleteValue(kHkeyCurrentUser, kBackupKey + "\\HKEY_LM\\Run", "Kept");
                 }}),
            Step({"delete", "Shared.lnk", "--place", "ALL USERS"}, {}, m_commonStartup + "/Shared.lnk",
                 m_prefix.backupFolder("All Users") + "/Shared.lnk"),
            Step({"restore", "Tool.lnk"}, {}, m_prefix.backupFolder("Local User") + "/Tool.lnk",
                 m_userStartup + "/Tool.lnk"),
            Step({"edit", "Test", "--place", "LOCAL RUN", "--to", "ALL RUN", "--program", kQuoted + " /min"},
                 {[](RegistryStore& s) {
                      s.writeStringValue(kHkeyLocalMachine, kRun, "Test", kQuoted + " /min");
                  },
                  [](RegistryStore& s) { s.deleteValue(kHkeyCurrentUser, kRun, "Test"); }}),
            Step({"add", "Test", "--program", kQuoted + " /max", "--place", "LOCAL RUN", "--replace"},
                 {[](RegistryStore& s) {
                      s.copyValue(kHkeyCurrentUser, kRun, "Test", kHkeyCurrentUser,
                                  kBackupKey + "\\HKEY_CU\\Run", "Test");
                  },
                  [](RegistryStore& s) {
                      s.writeStringValue(kHkeyCurrentUser, kRun, "Test", kQuoted + " /max");
                  }}),
            Step({"edit", "Batch.bat", "--place", "LOCAL USER", "--name", "Renamed"}, {},
                 m_userStartup + "/Batch.bat", m_userStartup + "/Renamed.bat"),
            Step({"enable", "Hidden.lnk", "--place", "LOCAL USER"}, {}),
            Step({"add", "Added", "--program", "C:\\windows\\notepad.exe", "--place", "LOCAL RUN"},
                 {[](RegistryStore& s) {
                     s.writeStringValue(kHkeyCurrentUser, kRun, "Added", "C:\\windows\\notepad.exe");
                 }}),
            Step({"add", "New", "--program", "C:\\windows\\notepad.exe", "--place", "LOCAL USER"}, {}),
            Step({"edit", "Test", "--place", "LOCAL RUN", "--name", "Renamed", "--program",
                  "C:\\windows\\notepad.exe"},
                 {[](RegistryStore& s) {
                      s.writeStringValue(kHkeyCurrentUser, kRun, "Renamed", "C:\\windows\\notepad.exe");
                  },
                  [](RegistryStore& s) { s.deleteValue(kHkeyCurrentUser, kRun, "Test"); }}),
            Step({"purge", "Tool.lnk"}, {}),
        };
        const auto stepOf = [this](const QString& command, const QString& name) -> Step& {
            return *std::find_if(m_steps.begin(), m_steps.end(), [&](const Step& step) {
                return step.arguments.value(0) == command && step.arguments.value(1) == name;
            });
        };
        stepOf("enable", "Hidden.lnk").marked = m_userStartup + "/Hidden.lnk";
        Step& addsLink = stepOf("add", "New");
        addsLink.created = m_userStartup + "/New.lnk";
        m_steps.last().removed = m_prefix.backupFolder("Local User") + "/Tool.lnk";
        // The shortcut a whole add makes.
        reset();
        QCOMPARE(m_cli
                     .run({"--prefix", m_prefix.path(), "add", "New", "--program", "C:\\windows\\notepad.exe",
                           "--place", "LOCAL USER"})
                     .exitCode,
                 0);
        addsLink.createdBytes = test::fileBytes(addsLink.created);
        QVERIFY(!addsLink.createdBytes.isEmpty());

        // The registry files each write leaves, written on a reference prefix one write at a time.
        TempPrefix reference;
        for (Step& step : m_steps) {
            for (int file : {0, 1}) {
                test::writeBytes(registryFile(reference, file), m_base[file]);
                step.states[file] = {withoutTimes(m_base[file])};
            }
            for (const Write& write : step.writes) {
                WineRegistryStore store(reference.path());
                write(store);
                for (int file : {0, 1})
                    step.states[file] << withoutTimes(test::fileBytes(registryFile(reference, file)));
            }
        }
    }

    void everyKillLeavesAWholeState() {
        // How long one whole command takes; kills spread over that time and a little beyond, half
        // of them in its second half where the writes are.
        QElapsedTimer clock;
        clock.start();
        bool killed = false;
        runStep(m_steps.first(), -1, killed);
        if (QTest::currentTestFailed())
            return;
        const qint64 fullRun = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);

        int kills = 0;
        QElapsedTimer budget;
        budget.start();
        for (int i = 0; budget.elapsed() < 8000 && i < 500; ++i) {
            const qint64 delay = (i / m_steps.size()) % 2 == 0 ? fullRun * (i * 37 % 100) / 100
                                                               : fullRun / 2 + fullRun * (i * 53 % 70) / 100;
            runStep(m_steps[i % m_steps.size()], delay, killed);
            if (QTest::currentTestFailed())
                return;
            kills += killed;
        }

        // One whole run of every step removes what killed writes left beside its files.
        for (const Step& step : m_steps) {
            runStep(step, -1, killed);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(!hasTemporaries(m_prefix.path()));
        qInfo("%d kills; one run takes %lld us", kills, static_cast<long long>(fullRun));
        QVERIFY(kills > 0);
    }
};

QTEST_GUILESS_MAIN(EntryCommandsKillTest)
#include "entry_commands_kill_test.moc"
