#include "memory_registry_store.h"
#include "platform/path_resolution.h"
#include "platform/wine/wine_environment.h"
#include "platform/wine/wine_system_info.h"
#include "temp_prefix.h"

#include <QTest>

using namespace sw;

namespace {
const QString kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const QString kSessionEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

// The values a freshly booted prefix holds for the environment and the shell folders.
std::shared_ptr<MemoryRegistryStore::Registry> freshRegistry() {
    MemoryRegistryStore store;
    const auto machine = [&](const QString& key, const QString& name, const QString& data) {
        store.WriteStringValue(kHkeyLocalMachine, key, name, data);
    };
    const auto user = [&](const QString& key, const QString& name, const QString& data) {
        store.WriteStringValue(kHkeyCurrentUser, key, name, data);
    };
    machine(kSessionEnvironment, "ComSpec", "%SystemRoot%\\system32\\cmd.exe");
    machine(kSessionEnvironment, "PATH", "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem");
    machine(kSessionEnvironment, "TEMP", "%SystemRoot%\\temp");
    machine(kSessionEnvironment, "windir", "%SystemRoot%");
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

class PrefixSystemTest : public QObject {
    Q_OBJECT
private slots:
    // The values of a fresh prefix are compared with Wine's own in prefix_wine_test; these are the
    // rules a fresh prefix does not reach.
    void buildsEnvironmentAsWine() {
        auto registry = freshRegistry();
        MemoryRegistryStore store(registry);
        store.WriteStringValue(kHkeyCurrentUser, "Environment", "path", "%USERPROFILE%\\bin;%TEMP%\\x");
        store.WriteStringValue(kHkeyCurrentUser, "Environment", "Loop", "%LOOP%%Loop%x");
        store.WriteStringValue(kHkeyCurrentUser, "Environment", "Unknown", "%NOPE%\\%TEMP");
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

    void answersSpecialFolders() {
        test::TempPrefix prefix;
        auto registry = freshRegistry();
        const WineSystemInfo info(prefix.path(), factoryFor(registry));
        // What a fresh prefix's values give is compared with Wine itself in prefix_wine_test.
        QVERIFY(info.GetSpecialFolder(5, false, false).isEmpty());

        // A pair anywhere in the value is expanded, not only at its start.
        MemoryRegistryStore store(registry);
        store.WriteStringValue(kHkeyCurrentUser, kShellFolders, "StartUp", "C:\\users\\%USERNAME%\\Startup");
        QCOMPARE(info.GetSpecialFolder(kCsidlStartup, false, false), QString("C:\\users\\tester\\Startup"));

        // Without the values, Wine's defaults; a trailing backslash is dropped.
        store.DeleteValue(kHkeyCurrentUser, kShellFolders, "StartUp");
        store.DeleteValue(kHkeyLocalMachine, kShellFolders, "Common StartUp");
        store.WriteStringValue(kHkeyLocalMachine, kShellFolders, "startup", "D:\\Boot\\");
        QCOMPARE(info.GetSpecialFolder(kCsidlStartup, false, false), QString("D:\\Boot"));
        QVERIFY(info.GetSpecialFolder(kCsidlStartup, false, true).isEmpty()); // no drive D:
        store.DeleteValue(kHkeyLocalMachine, kShellFolders, "StartUp");
        QCOMPARE(
            info.GetSpecialFolder(kCsidlStartup, false, false),
            QString(
                "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"));

        const WineSystemInfo empty(prefix.path(),
                                   factoryFor(std::make_shared<MemoryRegistryStore::Registry>()));
        QCOMPARE(empty.GetSpecialFolder(kCsidlCommonStartup, false, false),
                 QString("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"));
        QVERIFY(empty.GetSpecialFolder(kCsidlStartup, false, false).startsWith("C:\\users\\wine\\AppData"));
        const WineSystemInfo broken(
            prefix.path(), []() -> std::unique_ptr<RegistryStore> { throw RegistryError("unreadable"); });
        QCOMPARE(broken.environmentValue("SystemRoot"), QString("C:\\windows"));
    }

    void loopingValuesEnd() {
        test::TempPrefix prefix;
        auto registry = freshRegistry();
        MemoryRegistryStore store(registry);
        store.WriteStringValue(kHkeyCurrentUser, "Volatile Environment", "USERPROFILE", "%USERPROFILE%\\%A%");
        store.WriteStringValue(kHkeyCurrentUser, "Environment", "A", "%USERPROFILE%");
        const WineSystemInfo info(prefix.path(), factoryFor(registry));
        // The profile cannot be named: no folder rather than an endless expansion.
        QVERIFY(info.GetSpecialFolder(kCsidlStartup, false, false).isEmpty());
        QCOMPARE(info.environmentValue("USERPROFILE"), QString("%USERPROFILE%\\%USERPROFILE%"));
    }

    void searchesProgramsInWineOrder() {
        test::TempPrefix prefix;
        auto registry = freshRegistry();
        MemoryRegistryStore(registry).WriteStringValue(kHkeyCurrentUser, "Environment", "PATH",
                                                       "C:\\Tools\\;;\"C:\\Quoted\";C:\\..\\..;D:\\x");
        const WineSystemInfo info(prefix.path(), factoryFor(registry));
        prefix.writeFile("drive_c/windows/Both.exe", "windows");
        prefix.writeFile("drive_c/windows/system/both.exe", "system");
        prefix.writeFile("drive_c/tools/Tool.EXE", "");
        prefix.writeFile("drive_c/Quoted/q.exe", "");
        QDir().mkpath(prefix.hostPath("drive_c/windows/system32/folder.exe"));
        QCOMPARE(info.SearchProgramFile("BOTH.exe"), QString("C:\\windows\\system\\both.exe"));
        QCOMPARE(info.SearchProgramFile("tool.exe"), QString("C:\\tools\\Tool.EXE"));
        QCOMPARE(info.SearchProgramFile("q.exe"), QString("C:\\Quoted\\q.exe"));
        QCOMPARE(info.SearchProgramFile("folder.exe"), QString("-1"));
        QCOMPARE(info.SearchProgramFile("tool"), QString("-1"));
        QCOMPARE(info.SearchProgramFile(""), QString("-1"));
        QCOMPARE(info.SearchProgramFile("..\\..\\system.reg"), QString("-1"));
        QCOMPARE(info.SearchProgramFile("c:\\TOOLS\\tool.exe"), QString("C:\\tools\\Tool.EXE"));
        QCOMPARE(ResolveProgramPath("tool /min", info), QString("C:\\tools\\Tool.EXE"));
        QCOMPARE(ResolveProgramPath("\"", info), kUnparsable);
        QCOMPARE(ResolveProgramPath("\"C:\\never closed", info), kUnparsable);
    }

    void expansionAlwaysEnds() {
        const QHash<QString, QString> values{{"A", "x"},           {"SELF", "%SELF%"}, {"PCT", "50%"},
                                             {"NESTED", "%A%\\y"}, {"P", "%Q%"},       {"Q", "%P%"},
                                             {"G", "%H%%H%"},      {"H", "%G%%G%"}};
        const auto expand = [&](const QString& text) {
            return ExpandEnvironmentNames(text,
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
};

QTEST_GUILESS_MAIN(PrefixSystemTest)
#include "prefix_system_test.moc"
