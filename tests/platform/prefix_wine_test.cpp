// The platform services against Wine itself, on one throwaway prefix made by wineboot: registry
// values through `wine reg`, the environment, special folders, program search and file attributes
// through Wine's own programs, and the links we write through Wine's IShellLinkW. Skipped when Wine
// is not installed.
#include "platform/wine/lnk_shortcut_file.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_prefix.h"
#include "platform/wine/wine_running.h"
#include "platform/wine/wine_system_info.h"
#include "wine_session.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

const QString kKey = QStringLiteral("Software\\SwWineTest");
const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

struct Sample {
    QString name;
    QString data;
};

// Names and data with non-ASCII, quotes, backslashes, brackets and control characters.
const QList<Sample> kSamples = {
    {"Plain", "C:\\x y\\a.exe /min"},
    {"\u00dcbung", "C:\\Programme\\\u00dcbung\\\u00fc.exe"},
    {"ab9\u00e91\u00e9z", "\u00e9a \u00e99 \u00e9z \u00e9"},
    {"Quote\"d [x]", "say \"hi\" \\\\ back\\"},
    {"Emoji\U0001f600x", "\u00e49 \u20ac \U0001f600"},
    {"Ctl", QString::fromLatin1("a\tb\001c\0017\033z")},
    {"_under", "u"},
};

// Loads each link through Wine's own IShellLinkW and prints the path Wine would start.
const char* const kLinkReader =
    "#define COBJMACROS\n"
    "#include <windows.h>\n"
    "#include <shlobj.h>\n"
    "#include <stdio.h>\n"
    "int wmain(int argc, wchar_t** argv) {\n"
    "    CoInitialize(NULL);\n"
    "    for (int i = 1; i < argc; ++i) {\n"
    "        IShellLinkW* link; IPersistFile* file; WCHAR path[MAX_PATH] = {0}; char utf8[1024];\n"
    "        CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkW, "
    "(void**)&link);\n"
    "        IShellLinkW_QueryInterface(link, &IID_IPersistFile, (void**)&file);\n"
    "        IPersistFile_Load(file, argv[i], STGM_READ);\n"
    "        HRESULT hr = IShellLinkW_GetPath(link, path, MAX_PATH, NULL, SLGP_RAWPATH);\n"
    "        WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, NULL, NULL);\n"
    "        printf(\"%08lx %s\\n\", hr, utf8);\n"
    "    }\n"
    "    return 0;\n"
    "}\n";

} // namespace

class PrefixWineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath("prefix");
    test::WineSession m_session{m_prefix};

    int wine(const QStringList& arguments, QByteArray* out = nullptr) {
        return m_session.run("wine", arguments, out, 180000);
    }
    // Runs wine and waits until the server has written the registry files.
    QByteArray wineOutput(const QStringList& arguments) {
        QByteArray output;
        wine(arguments, &output);
        m_session.waitForServer(60000);
        return output;
    }

    WineSystemInfo systemInfo() const {
        const QString prefix = m_prefix;
        return WineSystemInfo(prefix, [prefix] { return std::make_unique<WineRegistryStore>(prefix); });
    }

private slots:
    void initTestCase() {
        if (!test::WineSession::available())
            QSKIP("Wine is not installed (no wine or wineserver on PATH)");
        QVERIFY(m_dir.isValid());
        // no menu entries on the host, no windows
        m_session.setVariable("WINEDLLOVERRIDES", "winemenubuilder.exe=d");
        m_session.setVariable("DISPLAY", QString());
        QCOMPARE(m_session.boot(300000), 0);
        m_session.waitForServer(120000);
        QVERIFY2(WinePrefix(m_prefix).isValid(), qPrintable(WinePrefix(m_prefix).problem()));
    }

    // Values that `wine reg add` wrote are read exactly; the running server is seen.
    void registryReadsWhatWineWrote() {
        QCOMPARE(m_session.run("wineserver", {"-p"}, nullptr, 30000), 0);
        const QString key = "HKCU\\" + kKey + "\\FromWine";
        QList<QStringList> values;
        for (const Sample& s : kSamples)
            values.append({"/v", s.name, "/d", s.data});
        values.append({"/ve", "/d", "default \"q\" \\ b"});
        values.append({"/v", "Multi", "/t", "REG_MULTI_SZ", "/d", "one\\0two"});
        values.append({"/v", "Dw", "/t", "REG_DWORD", "/d", "4660"});
        for (const QStringList& value : values)
            QCOMPARE(wine(QStringList{"reg", "add", key} + value + QStringList{"/f"}), 0);

        const QString running = wineRunningOn(m_prefix);
        QVERIFY2(running.contains("Wine is running on the prefix"), qPrintable(running));
        m_session.stopServer();
        QVERIFY(wineRunningOn(m_prefix).isEmpty());

        WineRegistryStore store(m_prefix);
        const QString sub = kKey + "\\FromWine";
        const auto listed = store.enumerateValues(kHkeyCurrentUser, sub);
        QVERIFY(listed);
        const QStringList& names = listed->names;
        QCOMPARE(names.first(), store.skippedValueName());
        for (const Sample& s : kSamples) {
            QVERIFY2(names.contains(s.name), qPrintable(s.name));
            QCOMPARE(store.readValue(kHkeyCurrentUser, sub, s.name, 0), s.data);
        }
        QCOMPARE(store.readValue(kHkeyCurrentUser, sub, QString(), 0), QString("default \"q\" \\ b"));
        QCOMPARE(store.readValue(kHkeyCurrentUser, sub, "multi", 0), QString("one\ntwo"));
        QCOMPARE(store.readValue(kHkeyCurrentUser, sub, "DW", 0), QString("4660"));
    }

    // Values the store wrote are read exactly by Wine (reg export is lossless UTF-16) and survive
    // Wine's own re-save of the files.
    void wineReadsWhatTheRegistryStoreWrote() {
        WineRegistryStore store(m_prefix);
        const QString sub = kKey + "\\FromStore";
        store.createKey(kHkeyCurrentUser, sub);
        for (const Sample& s : kSamples)
            store.writeStringValue(kHkeyCurrentUser, sub, s.name, s.data);
        store.writeStringValue(kHkeyLocalMachine, kRun, "SwMachine", "C:\\m \"q\".exe");
        store.copyValue(kHkeyCurrentUser, sub, kSamples[1].name, kHkeyCurrentUser, sub, "Copied");

        const QString exportFile = m_dir.filePath("export.reg");
        QCOMPARE(wine({"reg", "export", "HKCU\\" + sub, exportFile, "/y"}), 0);
        QFile file(exportFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QStringDecoder(QStringConverter::Utf16LE)(file.readAll());
        // reg export escapes backslash and quote in names and data
        auto escaped = [](QString s) { return s.replace("\\", "\\\\").replace("\"", "\\\""); };
        QList<Sample> expected = kSamples;
        expected.append({"Copied", kSamples[1].data});
        for (const Sample& s : expected) {
            const QString line = '"' + escaped(s.name) + "\"=\"" + escaped(s.data) + "\"\r\n";
            QVERIFY2(text.contains(line), qPrintable(line + "---\n" + text));
        }
        QCOMPARE(wine({"reg", "query", "HKLM\\" + kRun, "/v", "swmachine"}), 0);
        // the cold start above ran wineboot, which changed HKCU: Wine rewrites user.reg from memory
        m_session.stopServer();
        for (const Sample& s : kSamples)
            QCOMPARE(store.readValue(kHkeyCurrentUser, sub, s.name, 0), s.data);
        QCOMPARE(store.readValue(kHkeyLocalMachine, kRun, "SwMachine", 0), QString("C:\\m \"q\".exe"));
        // deleting through the store is seen by Wine too
        store.deleteValue(kHkeyCurrentUser, sub, "Plain");
        QCOMPARE(wine({"reg", "query", "HKCU\\" + sub, "/v", "Plain"}), 1);
        QCOMPARE(wine({"reg", "query", "HKCU\\" + sub, "/v", "_under"}), 0);
        m_session.stopServer();
    }

    void environmentMatchesWine() {
        QMap<QString, QString> wine;
        for (const QByteArray& line : wineOutput({"cmd", "/c", "set"}).split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                wine.insert(QString::fromLatin1(line.left(equals)).toUpper(),
                            QString::fromLatin1(line.mid(equals + 1)).trimmed());
        }
        QVERIFY(wine.contains("USERPROFILE"));
        const WineSystemInfo info = systemInfo();
        for (const char* name :
             {"PATH", "ComSpec", "TEMP", "TMP", "USERPROFILE", "APPDATA", "ALLUSERSPROFILE", "ProgramData",
              "PUBLIC", "ProgramFiles", "ProgramFiles(x86)", "CommonProgramFiles", "SystemRoot", "windir",
              "HOMEPATH"})
            QCOMPARE(info.environmentValue(name), wine.value(QString(name).toUpper()));

        QCOMPARE(info.getSpecialFolder(kCsidlStartup, false, true),
                 wine.value("APPDATA") + "\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
        QCOMPARE(info.getSpecialFolder(kCsidlCommonStartup, false, true),
                 QString("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"));
    }

    void searchesWineProgramsInOrder() {
        const WineSystemInfo info = systemInfo();
        QCOMPARE(info.searchProgramFile("NOTEPAD.EXE"), QString("C:\\windows\\system32\\notepad.exe"));
        QCOMPARE(info.searchProgramFile("regedit.exe"), QString("C:\\windows\\regedit.exe"));
        QCOMPARE(info.searchProgramFile("mofcomp.exe"), QString("C:\\windows\\system32\\wbem\\mofcomp.exe"));
        QCOMPARE(info.searchProgramFile("absent.exe"), std::nullopt);
    }

    void attributesAgreeWithWine() {
        WineFileSystem fs(m_prefix);
        QVERIFY(QFile(m_prefix + "/drive_c/ours.txt").open(QIODevice::WriteOnly));
        QVERIFY(QFile(m_prefix + "/drive_c/theirs.txt").open(QIODevice::WriteOnly));
        fs.setAttributes("C:\\Ours.txt", {false, true, false, false});
        const QByteArray output = wineOutput({"cmd", "/c", "attrib C:\\ours.txt & attrib +h C:\\theirs.txt"});
        QVERIFY2(output.contains("H") && output.contains("C:\\ours.txt"), output.constData());
        const std::optional<FileAttributes> attributes = fs.attributes("c:\\THEIRS.TXT");
        QVERIFY(attributes && attributes->hidden && !attributes->system);
    }

    // Wine starts a link only through its LinkInfo; this is the check that a link we write is one
    // Wine can start.
    void wineResolvesTheLinksWeWrite() {
        const QString compiler = QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc");
        if (compiler.isEmpty())
            QSKIP("x86_64-w64-mingw32-gcc is not installed");
        const QString work = m_prefix + "/drive_c/lnk";
        QVERIFY(QDir().mkpath(work));
        QFile source(m_dir.filePath("reader.c"));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(kLinkReader) > 0);
        source.close();
        QCOMPARE(QProcess::execute(compiler, {"-municode", "-o", work + "/reader.exe", source.fileName(),
                                              "-lole32", "-lshell32", "-luuid"}),
                 0);
        const QStringList targets = {"C:\\Program Files\\Tool\\tool.exe",
                                     "C:\\Programme\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe"};
        LnkShortcutFile shortcut([&](const QString& path) { return work + '/' + path.section('\\', -1); });
        QStringList links;
        for (const QString& target : targets) {
            ShortcutInfo info;
            info.target = target;
            links << QString("C:\\lnk\\%1.lnk").arg(links.size());
            shortcut.createShortcut(links.last(), info);
        }
        const QString out = QString::fromUtf8(wineOutput(QStringList{"C:\\lnk\\reader.exe"} + links));
        for (const QString& target : targets)
            QVERIFY2(out.contains("00000000 " + target), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(PrefixWineTest)
#include "prefix_wine_test.moc"
