#include "platform/wine/lnk_shortcut_file.h"
#include "wine_session.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace sw;
using sw::test::WineSession;

namespace {

// Loads each link through Wine's own IShellLinkW and prints the path Wine would start.
const char* const kReader =
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

class ShortcutWineTest : public QObject {
    Q_OBJECT

private slots:
    // Wine starts a link only through its LinkInfo; this is the check that a link we write is one
    // Wine can start. A fresh prefix costs about a minute, so it runs only on request.
    void wineResolvesWhatWeWrite() {
        if (qEnvironmentVariableIsEmpty("SW_SLOW_WINE_TESTS")) {
            QSKIP("set SW_SLOW_WINE_TESTS=1 to run (a fresh Wine prefix takes about a minute)");
        }
        const QString compiler = QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc");
        if (!WineSession::available() || compiler.isEmpty()) {
            QSKIP("needs wine and x86_64-w64-mingw32-gcc");
        }
        QTemporaryDir dir;
        const QString prefix = dir.filePath("prefix");
        const QString work = dir.filePath("prefix/drive_c/lnk");
        QVERIFY(QDir().mkpath(work));
        QFile source(dir.filePath("reader.c"));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(kReader) > 0);
        source.close();
        QCOMPARE(QProcess::execute(compiler, {"-municode", "-o", work + "/reader.exe", source.fileName(),
                                              "-lole32", "-lshell32", "-luuid"}),
                 0);

        const QStringList targets = {QStringLiteral("C:\\Program Files\\Tool\\tool.exe"),
                                     QStringLiteral("C:\\Programme\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe")};
        LnkShortcutFile shortcut([&](const QString& path) { return work + u'/' + path.section(u'\\', -1); });
        QStringList links;
        for (qsizetype i = 0; i < targets.size(); ++i) {
            ShortcutInfo info;
            info.target = targets[i];
            links << QStringLiteral("C:\\lnk\\%1.lnk").arg(i);
            shortcut.CreateShortcut(links.last(), info);
        }

        WineSession wine(prefix);
        wine.setVariable("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");
        QByteArray output;
        const int code = wine.run("wine", QStringList{"C:\\lnk\\reader.exe"} + links, &output, 300000);
        QVERIFY(code != WineSession::kNotStarted && code != WineSession::kTimedOut);
        wine.waitForServer(60000);
        const QString out = QString::fromUtf8(output);
        for (const QString& target : targets) {
            QVERIFY2(out.contains(QStringLiteral("00000000 ") + target), qPrintable(out));
        }
    }
};

QTEST_GUILESS_MAIN(ShortcutWineTest)
#include "shortcut_wine_test.moc"
