// The Wine prefix: folder choice, file system and attributes, environment and special folders,
// program search, command-line splitting and launching. What a fresh prefix's values give is
// compared with Wine itself in prefix_wine_test; these are the rules a fresh prefix does not reach.
#include "fixture_bytes.h"
#include "memory_registry_store.h"
#include "platform/path_resolution.h"
#include "platform/wine/command_line_split.h"
#include "platform/wine/wine_desktop_services.h"
#include "platform/wine/wine_environment.h"
#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_prefix.h"
#include "platform/wine/wine_system_info.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/xattr.h>

using namespace sw;

namespace {

const QString kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The raw bytes of the DOS attribute xattr, as any other reader of the file sees them.
QByteArray dosAttrib(const QString& host) {
    char buffer[64];
    const ssize_t length =
        ::getxattr(QFile::encodeName(host).constData(), "user.DOSATTRIB", buffer, sizeof buffer);
    return length < 0 ? QByteArray("<none>") : QByteArray(buffer, length);
}

// The values a freshly booted prefix holds for the environment and the shell folders.
std::shared_ptr<MemoryRegistryStore::Registry> freshRegistry() {
    MemoryRegistryStore store;
    const auto machine = [&](const QString& key, const QString& name, const QString& data) {
        store.writeStringValue(kHkeyLocalMachine, key, name, data);
    };
    const auto user = [&](const QString& key, const QString& name, const QString& data) {
        store.writeStringValue(kHkeyCurrentUser, key, name, data);
    };
    const QString session = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    machine(session, "ComSpec", "%SystemRoot%\\system32\\cmd.exe");
    machine(session, "PATH", "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem");
    machine(session, "TEMP", "%SystemRoot%\\temp");
    machine(session, "windir", "%SystemRoot%");
    user("Environment", "TEMP", "C:\\users\\tester\\Temp");
    user("Volatile Environment", "USERPROFILE", "C:\\users\\tester");
    user("Volatile Environment", "USERNAME", "tester");
    const QString profiles = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    machine(profiles, "ProgramData", "C:\\ProgramData");
    machine(profiles, "Public", "C:\\users\\Public");
    const QString version = "Software\\Microsoft\\Windows\\CurrentVersion";
    machine(version, "ProgramFilesDir", "C:\\Program Files");
    machine(version, "ProgramFilesDir (x86)", "C:\\Program Files (x86)");
    machine(version, "CommonFilesDir", "C:\\Program Files\\Common Files");
    user(kShellFolders, "StartUp",
         "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
    machine(kShellFolders, "Common StartUp",
            "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
    return store.registry();
}

WineSystemInfo::RegistryFactory factoryFor(std::shared_ptr<MemoryRegistryStore::Registry> registry) {
    return [registry] { return std::make_unique<MemoryRegistryStore>(registry); };
}

} // namespace

class PrefixTest : public QObject {
    Q_OBJECT
private slots:
    void choosesAndValidatesFolder() {
        QProcessEnvironment env;
        env.insert("HOME", "/home/ann");
        QCOMPARE(WinePrefix::chooseFolder({}, env), QString("/home/ann/.wine"));
        env.insert("WINEPREFIX", "/opt/games/");
        QCOMPARE(WinePrefix::chooseFolder({}, env), QString("/opt/games"));
        QCOMPARE(WinePrefix::chooseFolder("/srv/p", env), QString("/srv/p"));
        QCOMPARE(WinePrefix::chooseFolder("rel", env), QDir::current().absoluteFilePath("rel"));

        test::TempPrefix prefix;
        QVERIFY(WinePrefix(prefix.path()).isValid());
        QVERIFY(WinePrefix(prefix.path() + "/missing").problem().contains("does not exist"));
        QVERIFY(WinePrefix(prefix.hostPath("system.reg")).problem().contains("not a folder"));
        QVERIFY(WinePrefix(prefix.hostPath("drive_c")).problem().contains("holds no system.reg"));
        prefix.writeFile("user.reg", "WINE REGISTRY Version 1\n");
        QVERIFY(WinePrefix(prefix.path()).problem().contains("user.reg does not start with"));
        prefix.writeFile("user.reg", "WINE REGISTRY Version 2x\n");
        QVERIFY(!WinePrefix(prefix.path()).isValid());
    }

    void mapsPathsCaseInsensitively() {
        test::TempPrefix prefix;
        WineFileSystem fs(prefix.path());
        prefix.writeFile("drive_c/Program Files/Tool/Tool.EXE", "x");
        const QString host = prefix.hostPath("dosdevices/c:/Program Files/Tool/Tool.EXE");
        prefix.writeFile("drive_c/dup/a.txt", "1");
        prefix.writeFile("drive_c/dup/A.txt", "2");
        const auto check = [&] {
            QCOMPARE(fs.hostPath("c:\\PROGRAM FILES\\tool\\tool.exe"), host);
            QCOMPARE(fs.hostPath("c:\\PROGRAM FILES\\tool\\TOOL.exe"), host);
            QCOMPARE(fs.hostPath("\\\\?\\C:\\Program Files\\Tool\\Tool.EXE"), host);
            QCOMPARE(fs.hostPath("\\??\\C:/program files/tool/./x/../tool.exe"), host);
            QCOMPARE(fs.hostPath("C:\\Program Files\\Tool\\x\\..\\tool.exe"), host);
            QCOMPARE(fs.windowsPath("c:\\program files\\TOOL\\tool.exe"),
                     QString("C:\\Program Files\\Tool\\Tool.EXE"));
            // The exact name wins over an earlier case-insensitive match.
            QCOMPARE(fs.windowsPath("C:\\dup\\A.txt"), QString("C:\\dup\\A.txt"));
            QCOMPARE(fs.windowsPath("C:\\dup\\a.txt"), QString("C:\\dup\\a.txt"));
            // Missing parts keep their spelling; host paths pass through.
            QCOMPARE(fs.hostPath("C:\\Program Files\\New\\b.lnk"),
                     prefix.hostPath("dosdevices/c:/Program Files/New/b.lnk"));
            QCOMPARE(fs.hostPath("C:\\Program Files\\New\\C.lnk"),
                     prefix.hostPath("dosdevices/c:/Program Files/New/C.lnk"));
            QCOMPARE(fs.hostPath("/usr/bin/../bin/env"), QString("/usr/bin/../bin/env"));
        };
        check();
        // While a listing holds the contents, a path whose folder was resolved before takes a
        // shorter way, which must come to the same answers.
        auto held = fs.holdContents();
        check();
        check();
        held.reset();
        for (const char* path : {"", "relative\\x", "C:relative", "\\\\server\\share\\x",
                                 "C:\\..\\..\\system.reg", "C:\\windows\\..\\..\\x", "Q:\\nothing", "1:\\x"})
            QVERIFY2(fs.hostPath(path).isEmpty(), path);
        QDir(prefix.hostPath("dosdevices")).removeRecursively();
        QVERIFY(fs.hostPath("C:\\windows").isEmpty());
        QVERIFY(!fs.attributes("C:\\windows"));
        QVERIFY(fs.listFolder("C:\\windows").isEmpty());
    }

    void readsAndWritesAttributesAsWine() {
        test::TempPrefix prefix;
        WineFileSystem fs(prefix.path());
        const QString file = prefix.hostPath("drive_c/f.txt");
        const QList<QPair<QByteArray, bool>> cases = {
            {"0x2", true}, {QByteArray("0x2\0", 4), true}, {"0X2", false}, {"0x2z", false}, {"0x1", false}};
        for (const auto& [value, hidden] : cases) {
            prefix.writeFile(file, "");
            QCOMPARE(::setxattr(QFile::encodeName(file).constData(), "user.DOSATTRIB", value.constData(),
                                size_t(value.size()), 0),
                     0);
            const std::optional<FileAttributes> read = fs.attributes("C:\\f.txt");
            QVERIFY(read);
            QVERIFY2(read->hidden == hidden, value.toHex().constData());
        }
        // Hidden and system together are written as Wine writes them, and read back both.
        fs.setAttributes("C:\\F.TXT", {false, true, true, false});
        QCOMPARE(dosAttrib(file), QByteArray("0x6"));
        const std::optional<FileAttributes> both = fs.attributes("C:\\f.txt");
        QVERIFY(both && both->hidden && both->system && !both->readOnly);
        prefix.writeFile("drive_c/.profile", "");
        const std::optional<FileAttributes> dot = fs.attributes("C:\\.profile");
        QVERIFY(dot && dot->hidden);
        const std::optional<FileAttributes> folder = fs.attributes("C:\\windows");
        QVERIFY(folder && folder->directory && !folder->hidden);
        // A file system without extended attributes is an error, not a silent no-op.
        QVERIFY_THROWS_EXCEPTION(
            FileSystemError,
            WineFileSystem("/nonexistent").setAttributes("/proc/self/comm", {true, true, false, false}));
    }

    void buildsEnvironmentAsWine() {
        MemoryRegistryStore store(freshRegistry());
        store.writeStringValue(kHkeyCurrentUser, "Environment", "path", "%USERPROFILE%\\bin;%TEMP%\\x");
        store.writeStringValue(kHkeyCurrentUser, "Environment", "Loop", "%LOOP%%Loop%x");
        store.writeStringValue(kHkeyCurrentUser, "Environment", "Unknown", "%NOPE%\\%TEMP");
        const WineEnvironment env = WineEnvironment::fromRegistry(store);
        // HKCU PATH is appended and expanded before Volatile Environment sets USERPROFILE.
        QCOMPARE(env.value("Path"), QString("C:\\windows\\system32;C:\\windows;C:\\windows\\system32\\wbem;"
                                            "%USERPROFILE%\\bin;C:\\users\\tester\\Temp\\x"));
        QCOMPARE(env.value("LOOP"), QString("%LOOP%%Loop%x"));
        QCOMPARE(env.value("Unknown"), QString("%NOPE%\\%TEMP"));
        QCOMPARE(env.value("CommonProgramW6432"), QString("C:\\Program Files\\Common Files"));
        // After a replacement the scan starts again at the first "%": the empty pair is stepped over
        // and its closing "%" opens %windir%.
        QCOMPARE(env.expand("%systemroot%%%windir%\\%"), QString("C:\\windows%C:\\windows\\%"));
    }

    void expansionAlwaysEnds() {
        const QHash<QString, QString> values{{"A", "x"},           {"SELF", "%SELF%"}, {"PCT", "50%"},
                                             {"NESTED", "%A%\\y"}, {"P", "%Q%"},       {"Q", "%P%"},
                                             {"G", "%H%%H%"},      {"H", "%G%%G%"}};
        const auto expand = [&](const QString& text) {
            return expandEnvironmentNames(text,
                                          [&](const QString& name) { return values.value(name.toUpper()); });
        };
        QCOMPARE(expand("%A%\\%a%"), QString("x\\x"));
        QCOMPARE(expand("%UNSET%\\%A%"), QString("%UNSET%\\x"));
        QCOMPARE(expand("%SELF%"), QString("%SELF%"));
        QCOMPARE(expand("%PCT%%A%"), QString("50%x"));
        QCOMPARE(expand("single % only"), QString("single % only"));
        QCOMPARE(expand("%%%%"), QString("%%%%"));
        // A replacement is scanned again from the first "%"; names that expand into each other end.
        QCOMPARE(expand("%NESTED%"), QString("x\\y"));
        QVERIFY(expand("%P%").startsWith(QLatin1Char('%')));
        QVERIFY(expand("%G%").size() < 70000);
        QCOMPARE(expand(QString("%NOPE%%A%").repeated(2000)).count(QLatin1Char('x')), 2000);
    }

    void answersSpecialFolders() {
        test::TempPrefix prefix;
        auto registry = freshRegistry();
        const WineSystemInfo info(prefix.path(), factoryFor(registry));
        QVERIFY(info.getSpecialFolder(5, false, false).isEmpty());

        // A pair anywhere in the value is expanded, not only at its start.
        MemoryRegistryStore store(registry);
        store.writeStringValue(kHkeyCurrentUser, kShellFolders, "StartUp", "C:\\users\\%USERNAME%\\Startup");
        QCOMPARE(info.getSpecialFolder(kCsidlStartup, false, false), QString("C:\\users\\tester\\Startup"));

        // Without the values, Wine's defaults; a trailing backslash is dropped.
        store.deleteValue(kHkeyCurrentUser, kShellFolders, "StartUp");
        store.deleteValue(kHkeyLocalMachine, kShellFolders, "Common StartUp");
        store.writeStringValue(kHkeyLocalMachine, kShellFolders, "startup", "D:\\Boot\\");
        QCOMPARE(info.getSpecialFolder(kCsidlStartup, false, false), QString("D:\\Boot"));
        QVERIFY(info.getSpecialFolder(kCsidlStartup, false, true).isEmpty()); // no drive D:
        store.deleteValue(kHkeyLocalMachine, kShellFolders, "StartUp");
        QCOMPARE(
            info.getSpecialFolder(kCsidlStartup, false, false),
            QString(
                "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"));

        const WineSystemInfo empty(prefix.path(),
                                   factoryFor(std::make_shared<MemoryRegistryStore::Registry>()));
        QCOMPARE(empty.getSpecialFolder(kCsidlCommonStartup, false, false),
                 QString("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"));
        QVERIFY(empty.getSpecialFolder(kCsidlStartup, false, false).startsWith("C:\\users\\wine\\AppData"));
        const WineSystemInfo broken(
            prefix.path(), []() -> std::unique_ptr<RegistryStore> { throw RegistryError("unreadable"); });
        QCOMPARE(broken.environmentValue("SystemRoot"), QString("C:\\windows"));

        // A profile that names itself: no folder rather than an endless expansion.
        store.writeStringValue(kHkeyCurrentUser, kShellFolders, "StartUp", "%USERPROFILE%\\Startup");
        store.writeStringValue(kHkeyCurrentUser, "Volatile Environment", "USERPROFILE", "%USERPROFILE%\\%A%");
        store.writeStringValue(kHkeyCurrentUser, "Environment", "A", "%USERPROFILE%");
        const WineSystemInfo looping(prefix.path(), factoryFor(registry));
        QVERIFY(looping.getSpecialFolder(kCsidlStartup, false, false).isEmpty());
        QCOMPARE(looping.environmentValue("USERPROFILE"), QString("%USERPROFILE%\\%USERPROFILE%"));
    }

    void searchesProgramsInWineOrder() {
        test::TempPrefix prefix;
        auto registry = freshRegistry();
        MemoryRegistryStore(registry).writeStringValue(kHkeyCurrentUser, "Environment", "PATH",
                                                       "C:\\Tools\\;;\"C:\\Quoted\";C:\\..\\..;D:\\x");
        const WineSystemInfo info(prefix.path(), factoryFor(registry));
        prefix.writeFile("drive_c/windows/Both.exe", "windows");
        prefix.writeFile("drive_c/windows/system/both.exe", "system");
        prefix.writeFile("drive_c/tools/Tool.EXE", "");
        prefix.writeFile("drive_c/Quoted/q.exe", "");
        QDir().mkpath(prefix.hostPath("drive_c/windows/system32/folder.exe"));
        QCOMPARE(info.searchProgramFile("BOTH.exe"), QString("C:\\windows\\system\\both.exe"));
        QCOMPARE(info.searchProgramFile("tool.exe"), QString("C:\\tools\\Tool.EXE"));
        QCOMPARE(info.searchProgramFile("q.exe"), QString("C:\\Quoted\\q.exe"));
        for (const char* missing : {"folder.exe", "tool", "", "..\\..\\system.reg"})
            QCOMPARE(info.searchProgramFile(missing), std::nullopt);
        QCOMPARE(info.searchProgramFile("c:\\TOOLS\\tool.exe"), QString("C:\\tools\\Tool.EXE"));
        QCOMPARE(resolveProgramPath("tool /min", info), QString("C:\\tools\\Tool.EXE"));
        QCOMPARE(resolveProgramPath("\"", info), std::nullopt);
        QCOMPARE(resolveProgramPath("\"C:\\never closed", info), std::nullopt);
    }

    void splitsAsWindows_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("quoted program")
            << "\"C:\\Program Files\\a.exe\" /min" << QStringList{"C:\\Program Files\\a.exe", "/min"};
        QTest::newRow("program backslash quote") << "\"C:\\dir\\\"x y" << QStringList{"C:\\dir\\", "x", "y"};
        QTest::newRow("unquoted") << "  a.exe\t b  c " << QStringList{"a.exe", "b", "c"};
        QTest::newRow("backslashes") << "p a\\\\b a\\\\\\\"b a\\\\\"b c\" d"
                                     << QStringList{"p", "a\\\\b", "a\\\"b", "a\\b c", "d"};
        // A doubled quote inside quotes is a literal one and ends the quoted part.
        QTest::newRow("doubled quote") << "p \"a\"\"b c\" d" << QStringList{"p", "a\"b", "c d"};
        QTest::newRow("tripled quotes") << "p \"\"\"c\"\"\" \"\"" << QStringList{"p", "\"c\"", ""};
        QTest::newRow("joined") << "p a\"b c\"d" << QStringList{"p", "ab cd"};
        QTest::newRow("unterminated") << "p \"a b" << QStringList{"p", "a b"};
        QTest::newRow("empty") << "   " << QStringList{};
        QTest::newRow("only quote") << "\"" << QStringList{""};
    }
    void splitsAsWindows() {
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        QCOMPARE(splitCommandLine(line), arguments);
    }

    void startsWineDetachedOrFailsWithoutIt() {
        QTemporaryDir dir;
        const QString record = dir.filePath("record.txt");
        // Writes the prefix and one argument a line, then renames so the test never reads half a file.
        QFile::setPermissions(
            test::writeBytes(dir.filePath("wine"), "#!/bin/sh\nprintf '%s\\n' \"$WINEPREFIX\" > \"$0.tmp\"\n"
                                                   "printf '[%s]\\n' \"$@\" >> \"$0.tmp\"\nmv \"$0.tmp\" " +
                                                       QFile::encodeName(record) + "\n"),
            QFile::ReadOwner | QFile::ExeOwner);
        QProcessEnvironment env;
        env.insert("PATH", dir.path() + ":/usr/bin:/bin");
        WineDesktopServices services("/srv/prefix", "wine", env);
        QCOMPARE(services.launcherPath(), dir.filePath("wine"));
        services.startCommandLine("\"C:\\Program Files\\x y\\a.exe\" /arg \"two words\" back\\\\slash");
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(record) && !deadline.hasExpired())
            QThread::msleep(20);
        QCOMPARE(test::fileBytes(record),
                 QByteArray(
                     "/srv/prefix\n[C:\\Program Files\\x y\\a.exe]\n[/arg]\n[two words]\n[back\\\\slash]\n"));
        QVERIFY(!services.openServiceConsole());

        env.insert("PATH", dir.filePath("empty"));
        WineDesktopServices none("/srv/prefix", "wine", env);
        QVERIFY(none.launcherPath().isEmpty());
        QVERIFY_THROWS_EXCEPTION(LaunchError, none.startCommandLine("notepad.exe"));
        WineDesktopServices missing("/srv/prefix", dir.filePath("nowine"),
                                    QProcessEnvironment::systemEnvironment());
        QVERIFY_THROWS_EXCEPTION(LaunchError, missing.startCommandLine("notepad.exe"));
        QVERIFY_THROWS_EXCEPTION(LaunchError, missing.startCommandLine("  "));
    }
};

QTEST_GUILESS_MAIN(PrefixTest)
#include "prefix_test.moc"
