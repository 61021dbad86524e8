// startwarden-cli against hostile files and names in a prefix: a Startup file whose name climbs out of
// its folder, FIFOs where files are expected, control characters in names, a Startup folder that cannot
// be read, an empty --prefix and a user.reg with CR LF line ends.
#include "cli_copy.h"
#include "fixture_bytes.h"
#include "platform/file_system.h"
#include "platform/wine/wine_file_system.h"
#include "temp_prefix.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using sw::test::CliResult;
using sw::test::TempPrefix;

class CliHostileTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void aNameThatClimbsOutIsListedButNeverWritten() {
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        const QString name = "x\\..\\..\\..\\Desktop\\victim.txt";
        const QString startup = prefix.userStartupFolder();
        // The file the name would reach once its ".." are applied after the Startup folder.
        const QString victim = QDir::cleanPath(startup + "/x/../../../Desktop/victim.txt");
        QVERIFY(prefix.writeFile(victim, "victim"));
        QVERIFY(prefix.writeFile(startup + "/" + name, "the hostile file"));

        const CliResult list = m_cli.run({"--prefix", prefix.path(), "list", "LOCAL USER"});
        QCOMPARE(list.exitCode, 0);
        QVERIFY2(list.out.startsWith(name.toUtf8() + '\t'), list.out.constData());

        const QList<QStringList> writes = {
            {"disable", name}, {"delete", name}, {"edit", name, "--name", "y.txt"}};
        for (const QStringList& command : writes) {
            const CliResult refused =
                m_cli.run(QStringList{"--prefix", prefix.path()} + command + QStringList{"--yes"});
            QCOMPARE(refused.exitCode, 4);
            QVERIFY2(refused.err.contains("does not name one file of its folder"), refused.err.constData());
        }
        // A backup of that name is not restored onto the victim either.
        QVERIFY(prefix.writeFile(prefix.backupFolder("Local User") + "/" + name, "evil"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "restore", name, "--yes"}).exitCode, 4);

        // Below the command line, the file system refuses such paths for every write too.
        sw::WineFileSystem files(prefix.path());
        const QString tag =
            "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\" + name;
        QVERIFY_THROWS_EXCEPTION(sw::FileSystemError, files.removeFile(tag));
        QVERIFY_THROWS_EXCEPTION(sw::FileSystemError,
                                 files.setAttributes(tag, {false, true, false, false, 0}));
        QVERIFY_THROWS_EXCEPTION(sw::FileSystemError, files.copyFile("C:\\windows\\system32", tag));

        QCOMPARE(prefix.readFile(victim), QByteArray("victim"));
        QCOMPARE(sw::test::dosAttrib(victim), QByteArray("<none>"));
        QVERIFY(QFile::exists(startup + "/" + name));
    }

    void fifosNeverHang() {
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        QVERIFY(prefix.writeFile("drive_c/windows/notepad.exe", "MZ"));
        const QByteArray pipe = QFile::encodeName(prefix.userStartupFolder() + "/Pipe.lnk");
        QCOMPARE(::mkfifo(pipe.constData(), 0644), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(prefix.hostPath("wineserver")).constData(), 0644), 0);

        QElapsedTimer clock;
        clock.start();
        const CliResult list = m_cli.run({"--prefix", prefix.path(), "list"});
        QCOMPARE(list.exitCode, 0);
        QVERIFY(list.out.startsWith("Pipe.lnk\t"));
        // Nothing to back up: the delete is refused, and the pipe stays.
        const CliResult removed = m_cli.run({"--prefix", prefix.path(), "delete", "Pipe.lnk", "--yes"});
        QCOMPARE(removed.exitCode, 4);
        QVERIFY2(removed.err.contains("a pipe, not an ordinary file"), removed.err.constData());
        QVERIFY(QFileInfo(QFile::decodeName(pipe)).exists());
        QCOMPARE(m_cli
                     .run({"--prefix", prefix.path(), "add", "Tool", "--program", "C:\\windows\\notepad.exe",
                           "--place", "LOCAL RUN"})
                     .exitCode,
                 0);
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "backups"}).exitCode, 0);
        // A device in a file's place is named as what it is.
        QVERIFY(QFile::link("/dev/zero", prefix.userStartupFolder() + "/Zero.lnk"));
        const CliResult zero = m_cli.run({"--prefix", prefix.path(), "delete", "Zero.lnk", "--yes"});
        QCOMPARE(zero.exitCode, 4);
        QVERIFY2(zero.err.contains("a device or socket") && !zero.err.contains("directory"),
                 zero.err.constData());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    void messagesSayWhatHappened() {
        // A prefix whose user.reg may not be changed: its backup keys were never made, which is no
        // reason to call them unreadable.
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        QCOMPARE(::chmod(QFile::encodeName(prefix.hostPath("user.reg")).constData(), 0444), 0);
        const CliResult backups = m_cli.run({"--prefix", prefix.path(), "backups"});
        QCOMPARE(backups.exitCode, 0);
        QVERIFY2(backups.err.isEmpty(), backups.err.constData());
    }

    void aFullDiskIsNamed() {
        QTemporaryDir disk;
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", disk.path()}) != 0)
            QSKIP("no small file system can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk.path()}); });
        const QString prefix = disk.path();
        QFile::copy(TempPrefix().hostPath("system.reg"), prefix + "/system.reg");
        QVERIFY(QDir(prefix).mkpath("drive_c/windows") && QDir(prefix).mkpath("dosdevices"));
        QVERIFY(QFile::link("../drive_c", prefix + "/dosdevices/c:"));
        QFile user(prefix + "/user.reg");
        QVERIFY(user.open(QIODevice::WriteOnly));
        user.write(TempPrefix::registryHeader(false) + TempPrefix::userProfileBody());
        user.close();
        QFile program(prefix + "/drive_c/windows/notepad.exe");
        QVERIFY(program.open(QIODevice::WriteOnly) && program.write("MZ") == 2);
        program.close();
        const QString startup =
            prefix + "/drive_c/users/tester/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup";
        QVERIFY(QDir().mkpath(startup));
        QVERIFY(QDir().mkpath(prefix + "/startwarden"));
        QFile filler(prefix + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
        filler.close();
        for (const char* place : {"LOCAL USER", "LOCAL RUN"}) {
            const CliResult full = m_cli.run({"--prefix", prefix, "add", "Tool", "--program",
                                              "C:\\windows\\notepad.exe", "--place", place});
            QCOMPARE(full.exitCode, 4);
            QVERIFY2(full.err.contains("No space left on device") && !full.err.contains("canceled"),
                     full.err.constData());
        }
        QVERIFY(!QFile::exists(startup + "/Tool.lnk"));
    }

    void newFilesTakeTheOwnerOfTheirFolder() {
        if (::geteuid() != 0)
            QSKIP("only root can make files for another user");
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        QVERIFY(prefix.writeFile("drive_c/windows/notepad.exe", "MZ"));
        const uid_t owner = 4321;
        const gid_t group = 4322;
        QDirIterator all(prefix.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
        QCOMPARE(::lchown(QFile::encodeName(prefix.path()).constData(), owner, group), 0);
        while (all.hasNext())
            QCOMPARE(::lchown(QFile::encodeName(all.next()).constData(), owner, group), 0);
        for (const char* place : {"LOCAL USER", "LOCAL RUN"})
            QCOMPARE(m_cli
                         .run({"--prefix", prefix.path(), "add", "Tool", "--program",
                               "C:\\windows\\notepad.exe", "--place", place})
                         .exitCode,
                     0);
        for (const QString& made :
             {prefix.userStartupFolder() + "/Tool.lnk", prefix.hostPath("user.reg"),
              prefix.hostPath("startwarden"), prefix.hostPath("startwarden/writer.lock")}) {
            struct stat st {};
            QVERIFY2(::lstat(QFile::encodeName(made).constData(), &st) == 0, qPrintable(made));
            QVERIFY2(st.st_uid == owner && st.st_gid == group, qPrintable(made));
        }
    }

    void controlCharactersAreEscaped() {
        // ESC [8m would hide the rest of a terminal's output; U+009B is the one-character CSI.
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::runSection("\"a\\e[8mhidden\"=\"C:\\\\x\\a\\x9b.exe\"\n"));
        const CliResult list = m_cli.run({"--prefix", prefix.path(), "list", "LOCAL RUN"});
        QCOMPARE(list.exitCode, 0);
        QVERIFY2(list.out.startsWith("a\\x1b[8mhidden\tC:\\x\\x07\\x9b.exe\t"), list.out.constData());
        for (const char c : list.out)
            QVERIFY(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
        QVERIFY(!list.out.contains("\xc2\x9b"));
        // ... and in what the commands say about the entry
        const CliResult disabled =
            m_cli.run({"--prefix", prefix.path(), "disable", "a\x1b[8mhidden", "--yes"});
        QCOMPARE(disabled.exitCode, 0);
        QVERIFY2(disabled.out.contains("\"a\\x1b[8mhidden\" is now inactive"), disabled.out.constData());
        const CliResult missing = m_cli.run({"--prefix", prefix.path(), "delete", "b\x1b[8m", "--yes"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(!missing.err.contains('\x1b') && missing.err.contains("b\\x1b[8m"));
    }

    void anUnreadableStartupFolderIsReported() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::runSection("\"Tool\"=\"C:\\\\t.exe\"\n"));
        // A file in the folder's place (root reads any folder; without root, no rights at all too).
        QVERIFY(QDir(prefix.commonStartupFolder()).removeRecursively());
        QVERIFY(prefix.writeFile(prefix.commonStartupFolder(), "not a folder"));
        const QByteArray user = QFile::encodeName(prefix.userStartupFolder());
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/Tool.lnk", "x"));
        QCOMPARE(::chmod(user.constData(), 0), 0);
        const CliResult list = m_cli.run({"--prefix", prefix.path(), "list"});
        ::chmod(user.constData(), 0755);
        QCOMPARE(list.exitCode, 4);
        QVERIFY(list.out.startsWith("Tool\t")); // what can be read is listed
        QVERIFY2(list.err.contains("cannot be read") && list.err.contains("Not a directory"),
                 list.err.constData());
        QCOMPARE(list.err.count("cannot be read"), ::geteuid() == 0 ? 1 : 2);
    }

    void anEmptyPrefixIsNotTheDefault() {
        const CliResult empty = m_cli.run({"--prefix", "", "list"});
        QCOMPARE(empty.exitCode, 2);
        QVERIFY(empty.out.isEmpty());
        QVERIFY2(empty.err.contains("No Wine prefix folder was given"), empty.err.constData());
    }

    void aCrLfRegistryFileIsAPrefix() {
        TempPrefix prefix;
        QByteArray user =
            TempPrefix::registryHeader(false) + TempPrefix::runSection("\"Tool\"=\"C:\\\\t.exe\"\n");
        user.replace("\n", "\r\n");
        QVERIFY(prefix.writeFile("user.reg", user));
        const CliResult list = m_cli.run({"--prefix", prefix.path(), "list", "LOCAL RUN"});
        QVERIFY2(list.exitCode == 0 && list.out.startsWith("Tool\tC:\\t.exe\t"), list.err.constData());
    }
};

QTEST_GUILESS_MAIN(CliHostileTest)
#include "cli_hostile_test.moc"
