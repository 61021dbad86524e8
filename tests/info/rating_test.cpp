// Command lines as Windows 10/11 and installers write them, taken apart on a real prefix's files and
// rated as the window rates them: the program found as Windows starts it, the text a record sees,
// what a known host runs, and a Startup shortcut's arguments.
#include "entries/listing.h"
#include "info/description_database.h"
#include "info/entry_information.h"
#include "info/entry_rating.h"
#include "platform/command_line.h"
#include "platform/language_texts.h"
#include "platform/path_resolution.h"
#include "platform/wine/shell_link.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QTest>

using namespace sw;

namespace {

// The user's profile, an environment name of the user's, and a Run value whose program path holds
// blanks and is not quoted.
QByteArray userBody() {
    return test::TempPrefix::userProfileBody() +
           test::TempPrefix::section("Environment", "\"TOOLS\"=\"C:\\\\Program Files\\\\Tool\"\n") +
           test::TempPrefix::runSection(
               "\"RtHDVCpl\"=\"C:\\\\Program Files\\\\Realtek\\\\Audio\\\\HDA\\\\RAVCpl64.exe -s\"");
}

} // namespace

class RatingTest : public QObject {
    Q_OBJECT

    test::TempPrefix m_prefix{QByteArray(), userBody()};
    Platform m_platform;

private slots:
    void initTestCase() {
        QVERIFY(m_prefix.isValid());
        for (const char* file : {"windows/system32/wscript.exe", "windows/system32/mshta.exe",
                                 "windows/system32/powershell.exe", "windows/system32/rundll32.exe",
                                 "windows/system32/cmd.exe", "Program Files/Realtek/Audio/HDA/RAVCpl64.exe",
                                 "Program Files/Tool/tool.exe", "users/u/AppData/Local/Medal/Update.exe"})
            QVERIFY(m_prefix.writeFile(QStringLiteral("drive_c/") + file, "MZ"));
        m_platform = makeWinePlatform(m_prefix.path());
    }

    void takesLinesApartAsWindows_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("program");     // the resolved program, compared without case
        QTest::addColumn<QString>("programText"); // what every record's file pattern sees
        QTest::addColumn<QString>("runText");     // what a host runs, also seen
        auto row = [](const char* tag, const char* line, const char* program, const char* text,
                      const char* run = "") {
            QTest::newRow(tag) << QString::fromUtf8(line) << QString::fromUtf8(program)
                               << QString::fromUtf8(text) << QString::fromUtf8(run);
        };
        row("wscript with a quoted script",
            R"(C:\Windows\System32\wscript.exe //B "C:\Users\u\AppData\Roaming\x.vbs")",
            R"(C:\Windows\System32\wscript.exe)", R"(WSCRIPT.EXE //B "C:\USERS\U\APPDATA\ROAMING\X.VBS")",
            "X.VBS");
        row("powershell inline command", R"(powershell -w hidden -c "Start-Process C:\Tools\t.exe")",
            R"(C:\windows\system32\powershell.exe)",
            R"(POWERSHELL -W HIDDEN -C "START-PROCESS C:\TOOLS\T.EXE")", "START-PROCESS C:\\TOOLS\\T.EXE\"");
        row("powershell script file", R"(powershell.exe -NoProfile -File "C:\Users\u\run.ps1" -q)",
            R"(C:\windows\system32\powershell.exe)",
            R"(POWERSHELL.EXE -NOPROFILE -FILE "C:\USERS\U\RUN.PS1" -Q)", "RUN.PS1 -Q");
        row("mshta inline script",
            R"-(mshta "javascript:new ActiveXObject(""WScript.Shell"").Run(""x"");close()")-",
            R"(C:\windows\system32\mshta.exe)",
            R"-(MSHTA "JAVASCRIPT:NEW ACTIVEXOBJECT(""WSCRIPT.SHELL"").RUN(""X"");CLOSE()")-",
            "JAVASCRIPT:NEW ACTIVEXOBJECT(\"\"WSCRIPT.SHELL\"\").RUN(\"\"X\"\");CLOSE()\"");
        row("unquoted path with blanks", R"(C:\Program Files\Realtek\Audio\HDA\RAVCpl64.exe -s)",
            R"(C:\Program Files\Realtek\Audio\HDA\RAVCpl64.exe)", "RAVCPL64.EXE -S");
        row("unquoted path, environment name", R"(%TOOLS%\tool.exe /min C:\Logs\x.txt)",
            R"(C:\Program Files\Tool\tool.exe)", R"(TOOL.EXE /MIN C:\LOGS\X.TXT)");
        row("unquoted missing program", R"(C:\Program Files\Gone\gone.exe -x)", R"(C:\Program)",
            R"(PROGRAM FILES\GONE\GONE.EXE -X)");
        row("backslash in the arguments",
            R"(SteelSeriesGG.exe -dataPath="C:\ProgramData\SteelSeries\GG" -auto=true)", "",
            R"(STEELSERIESGG.EXE -DATAPATH="C:\PROGRAMDATA\STEELSERIES\GG" -AUTO=TRUE)");
        row("quoted program", R"("C:\Program Files\Tool\tool.exe" "C:\Users\u\settings.json")",
            R"(C:\Program Files\Tool\tool.exe)", "TOOL.EXE\" \"C:\\USERS\\U\\SETTINGS.JSON\"");
        row("rundll32 with a quoted DLL",
            R"(rundll32.exe "C:\Users\u\AppData\Local\a b\x.dll",DllRegisterServer)",
            R"(C:\windows\system32\rundll32.exe)",
            R"(RUNDLL32.EXE "C:\USERS\U\APPDATA\LOCAL\A B\X.DLL",DLLREGISTERSERVER)",
            "X.DLL,DLLREGISTERSERVER");
        row("rundll32 running a script",
            R"(rundll32.exe javascript:"\..\mshtml,RunHTMLApplication ";alert(1))",
            R"(C:\windows\system32\rundll32.exe)",
            R"(RUNDLL32.EXE JAVASCRIPT:"\..\MSHTML,RUNHTMLAPPLICATION ";ALERT(1))",
            R"(JAVASCRIPT:"\..\MSHTML,RUNHTMLAPPLICATION ";ALERT(1))");
        row("cmd start with a title", R"(cmd /c start "" /min "C:\Program Files\Tool\tool.exe" -q)",
            R"(C:\windows\system32\cmd.exe)", R"(CMD /C START "" /MIN "C:\PROGRAM FILES\TOOL\TOOL.EXE" -Q)",
            "TOOL.EXE -Q");
        row("squirrel app",
            R"("C:\users\u\AppData\Local\Medal\Update.exe" --processStart "Medal.exe" --process-start-args "--hidden")",
            R"(C:\users\u\AppData\Local\Medal\Update.exe)",
            "UPDATE.EXE\" --PROCESSSTART \"MEDAL.EXE\" --PROCESS-START-ARGS \"--HIDDEN\"",
            R"(MEDAL.EXE --PROCESS-START-ARGS "--HIDDEN")");
        row("unclosed quote", "\"C:\\never closed", "", "NEVER CLOSED");
    }
    void takesLinesApartAsWindows() {
        QFETCH(QString, line);
        QFETCH(QString, program);
        QFETCH(QString, programText);
        QFETCH(QString, runText);
        const CommandLine parsed =
            parseCommandLine(line, programLookup(*m_platform.system, m_platform.fileSystem.get()));
        QCOMPARE(parsed.program.value_or(QString()).toLower(), program.toLower());
        QCOMPARE(parsed.unclosedQuote, line.startsWith(u'"') && line.count(u'"') == 1);
        const RatingSubject subject = ratingSubject(parsed, QString(), QString());
        QCOMPARE(subject.programText, programText);
        QCOMPARE(subject.runText, runText);
    }

    // A Startup shortcut is rated with its arguments; a Run value by its whole line.
    void ratesListedRowsWithShortcutArguments() {
        ShellLinkOptions options;
        options.arguments = QStringLiteral("--tray C:\\Users\\u\\tool.ini");
        QVERIFY(
            m_prefix.writeFile(m_prefix.userStartupFolder() + QStringLiteral("/Tool.lnk"),
                               buildShellLink(QStringLiteral("C:\\Program Files\\Tool\\tool.exe"), options)));
        QVERIFY(m_prefix.writeFile(m_prefix.userStartupFolder() + QStringLiteral("/Plain.lnk"),
                                   buildShellLink(QStringLiteral("C:\\Program Files\\Tool\\tool.exe"))));
        DescriptionDatabase database;
        database.searchTable = {{0, "TOOL.EXE\" --TRAY *", "*", "*"},
                                {1, "TOOL.EXE\"", "*", "*"},
                                {0, "RAVCPL64.EXE -S", "*", "*"}};
        database.descriptionTable = DescriptionTable(database.count());
        const LanguageTexts texts;
        QMap<QString, int> records;
        for (const AutostartEntry& row : listCategory({m_platform, texts}, QStringLiteral("ALL")))
            records.insert(row.name, describeEntry(m_platform, database, row).record);
        QCOMPARE(records.value("Tool.lnk"), 1);
        QCOMPARE(records.value("Plain.lnk"), 2);
        QCOMPARE(records.value("RtHDVCpl"), 3);
    }
};

QTEST_GUILESS_MAIN(RatingTest)
#include "rating_test.moc"
