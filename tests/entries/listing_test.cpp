// The entry listings over the files of a throwaway prefix: registry files in Wine's text format,
// real .lnk files, Wine's hidden mark.
#include "entries/check_list.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "platform/language_texts.h"
#include "platform/registry_store.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

using namespace sw;
using sw::test::TempPrefix;

namespace {

const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const std::int32_t kCurrentUser = std::int32_t(0x80000001);
const std::int32_t kLocalMachine = std::int32_t(0x80000002);

// A key section as Wine writes it; lines are the value lines.
QByteArray section(const QByteArray& key, const QByteArray& lines) {
    return "\n[" + key + "] 1700000000\n#time=1d9f0a0b0c0d0e0\n" + lines;
}

QByteArray runSection(const QByteArray& lines) {
    return section("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run", lines);
}

QByteArray runOnceSection(const QByteArray& lines) {
    return section("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\RunOnce", lines);
}

// Listing over one prefix, as the command line does it (no icons).
struct Lister {
    explicit Lister(const TempPrefix& prefix) : platform(makeWinePlatform(prefix.path())) {}
    Platform platform;
    LanguageTexts texts;

    ListingContext context() const { return {platform, texts}; }
    QList<AutostartEntry> key(std::int32_t root, const QString& path) const {
        return ListRegistryKey(context(), root, path, QStringLiteral("label"));
    }
    QList<AutostartEntry> category(const QString& key) const { return listCategory(context(), key); }
    QString startup(int folder) const { return platform.system->GetSpecialFolder(folder, false, false); }
    QList<AutostartEntry> folder(int number) const {
        return ListStartmenuFolder(context(), startup(number) + QLatin1Char('\\'), QStringLiteral("label"));
    }
    void link(const QString& path, const QString& target) const {
        ShortcutInfo info;
        info.target = target;
        info.workingPath = target;
        platform.newShortcutFile()->CreateShortcut(path, info);
    }
    void hide(const QString& path, bool hidden, bool system = false) const {
        platform.fileSystem->setAttributes(path, {false, hidden, system, false});
    }
};

const AutostartEntry* byName(const QList<AutostartEntry>& rows, const QString& name) {
    for (const AutostartEntry& row : rows)
        if (row.name == name)
            return &row;
    return nullptr;
}

// "program|active valid" of the named row ("A" active, "V" valid), for tables of expectations.
QString stateOf(const QList<AutostartEntry>& rows, const char* name) {
    const AutostartEntry* row = byName(rows, QString::fromUtf8(name));
    if (!row)
        return QStringLiteral("<none>");
    return row->program + QStringLiteral("|%1%2").arg(row->active ? "A" : "-", row->valid ? "V" : "-");
}

void verifyStates(const QList<AutostartEntry>& rows,
                  std::initializer_list<std::pair<const char*, QString>> cases) {
    for (const auto& [name, expected] : cases)
        QVERIFY2(stateOf(rows, name) == expected,
                 qPrintable(QString::fromUtf8(name) + ": " + stateOf(rows, name)));
}

QStringList namesOf(const QList<AutostartEntry>& rows) {
    QStringList names;
    for (const AutostartEntry& row : rows)
        names << row.name;
    return names;
}

QStringList kindsOf(const QList<AutostartEntry>& rows) {
    QStringList kinds;
    for (const AutostartEntry& row : rows)
        if (kinds.isEmpty() || kinds.last() != row.backupKind)
            kinds << row.backupKind;
    return kinds;
}

// Skips when the temporary folder's file system keeps no extended attributes.
bool canMarkHidden(const Lister& lister, const QString& path) {
    try {
        lister.hide(path, true);
        lister.hide(path, false);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

class ListingTest : public QObject {
    Q_OBJECT

private slots:
    void remPrefixMarksInactiveInAnyCase() {
        TempPrefix prefix({}, runSection("\"upper\"=\"REM C:\\\\windows\\\\tool.exe\"\n"
                                         "\"lower\"=\"rem C:\\\\windows\\\\tool.exe /x\"\n"
                                         "\"mixed\"=\"rEm C:\\\\windows\\\\tool.exe\"\n"
                                         "\"bare\"=\"REM\"\n"
                                         "\"remove\"=\"REMOVE.EXE /all\"\n"
                                         "\"onlyrem\"=\"REM \"\n"
                                         "\"double\"=\"REM REM C:\\\\windows\\\\tool.exe\"\n"
                                         "\"tabbed\"=\"REM\\tC:\\\\windows\\\\tool.exe\"\n"));
        QVERIFY(prefix.writeFile("drive_c/windows/tool.exe", "MZ"));
        const Lister lister(prefix);
        const QList<AutostartEntry> rows = lister.key(kCurrentUser, kRun);
        QCOMPARE(namesOf(rows),
                 QStringList({"upper", "lower", "mixed", "bare", "remove", "onlyrem", "double", "tabbed"}));

        const QString tool = QStringLiteral("C:\\windows\\tool.exe");
        verifyStates(rows,
                     {{"upper", tool + "|-V"}, // an inactive entry whose program exists is still valid
                      {"mixed", tool + "|-V"},
                      {"lower", tool + " /x|-V"},
                      // Only "REM" with the blank marks an entry; the rest of the data is never touched.
                      {"bare", "REM|A-"},
                      {"remove", "REMOVE.EXE /all|A-"},
                      {"tabbed", "REM\t" + tool + "|A-"},
                      {"onlyrem", "|--"},
                      // One prefix is taken off, a second one stays in the program text.
                      {"double", "REM " + tool + "|--"}});
    }

    void defaultValueSkippedAndOddDataListed() {
        QByteArray huge(1 << 20, 'x');
        TempPrefix prefix({}, runSection("@=\"C:\\\\windows\\\\tool.exe\"\n"
                                         "\"@\"=\"C:\\\\windows\\\\tool.exe\"\n"
                                         "\"empty\"=\"\"\n"
                                         "\"binary\"=hex:43,00,3a,00,5c,00\n"
                                         "\"number\"=dword:00000001\n"
                                         "\"expand\"=str(2):\"%SystemRoot%\\\\tool.exe\"\n"
                                         "\"huge\"=\"C:\\\\" +
                                         huge +
                                         "\"\n"
                                         "\"last\"=\"C:\\\\windows\\\\tool.exe\"\n"));
        QVERIFY(prefix.writeFile("drive_c/windows/tool.exe", "MZ"));
        const Lister lister(prefix);
        const QList<AutostartEntry> rows = lister.key(kCurrentUser, kRun);
        QCOMPARE(namesOf(rows), QStringList({"@", "empty", "binary", "number", "expand", "huge", "last"}));
        for (const AutostartEntry& row : rows)
            QVERIFY2(!row.rowKey.isEmpty(), qPrintable(row.name));

        verifyStates(rows, {{"empty", "|A-"},
                            {"expand", "%SystemRoot%\\tool.exe|AV"},
                            {"last", "C:\\windows\\tool.exe|AV"}});
        QCOMPARE(byName(rows, "huge")->program.size(), qsizetype(huge.size() + 3));
        for (const char* name : {"huge", "binary", "number"})
            QVERIFY2(!byName(rows, name)->valid, name);
    }

    void programPathsResolvedInsideThePrefix() {
        TempPrefix prefix(
            runSection("\"quoted\"=\"\\\"C:\\\\Program Files\\\\My Tool\\\\tool.exe\\\" /min --tray\"\n"
                       "\"otherCase\"=\"c:\\\\PROGRAM FILES\\\\my tool\\\\TOOL.EXE\"\n"
                       "\"env\"=\"%SystemRoot%\\\\system32\\\\svc.exe -k netsvcs\"\n"
                       "\"quotedEnv\"=\"\\\"%SystemRoot%\\\\system32\\\\svc.exe\\\" -k\"\n"
                       "\"searched\"=\"svc /start\"\n"
                       "\"unquotedBlank\"=\"C:\\\\Program Files\\\\My Tool\\\\tool.exe\"\n"
                       "\"missing\"=\"\\\"C:\\\\Program Files\\\\Gone\\\\gone.exe\\\" /x\"\n"
                       "\"hidden\"=\"C:\\\\windows\\\\secret.exe\"\n"
                       "\"system\"=\"C:\\\\windows\\\\sys.exe\"\n"
                       "\"folder\"=\"C:\\\\windows\\\\system32\"\n"
                       "\"open\"=\"\\\"C:\\\\windows\\\\system32\\\\svc.exe\"\n"
                       "\"otherDrive\"=\"D:\\\\tool.exe\"\n"
                       // Wine takes these as C:\bin\sh, not as files of the host.
                       "\"hostPath\"=\"/bin/sh\"\n"
                       "\"quotedHostPath\"=\"\\\"/bin/sh\\\" -c true\"\n"),
            {});
        QVERIFY(prefix.writeFile("drive_c/Program Files/My Tool/tool.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/windows/system32/svc.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/windows/secret.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/windows/sys.exe", "MZ"));
        const Lister lister(prefix);
        if (!canMarkHidden(lister, "C:\\windows\\secret.exe"))
            QSKIP("the temporary folder keeps no extended attributes");
        lister.hide("C:\\windows\\secret.exe", true);
        lister.hide("C:\\windows\\sys.exe", false, true);

        const QList<AutostartEntry> rows = lister.key(kLocalMachine, kRun);
        QCOMPARE(rows.size(), 14);
        QCOMPARE(byName(rows, "quoted")->program,
                 QString("\"C:\\Program Files\\My Tool\\tool.exe\" /min --tray"));
        for (const char* name :
             {"quoted", "otherCase", "env", "quotedEnv", "searched", "unquotedBlank", "system"})
            QVERIFY2(byName(rows, name)->valid, name);
        for (const char* name :
             {"missing", "hidden", "folder", "open", "otherDrive", "hostPath", "quotedHostPath"})
            QVERIFY2(!byName(rows, name)->valid, name);
        for (const AutostartEntry& row : rows)
            QVERIFY(row.active);
    }

    void thousandsOfValuesAndEqualNamesInBothRoots() {
        QByteArray lines;
        QStringList expected;
        for (int i = 0; i < 2000; ++i) {
            // Not in sorted order: the listing keeps the order of the file.
            const QByteArray name = "v" + QByteArray::number((i * 7919) % 2000);
            lines += "\"" + name + "\"=\"C:\\\\windows\\\\" + name + ".exe\"\n";
            expected << QString::fromLatin1(name);
        }
        const QByteArray same = "\"Same\"=\"C:\\\\machine.exe\"\n\"Other\"=\"x\"\n";
        TempPrefix prefix(runSection(same) + runOnceSection(same),
                          runSection("\"Same\"=\"C:\\\\user.exe\"\n" + lines) + runOnceSection(same));
        const Lister lister(prefix);

        const QList<AutostartEntry> userRows = lister.key(kCurrentUser, kRun);
        QCOMPARE(userRows.size(), 2001);
        QCOMPARE(namesOf(userRows).mid(1), expected);

        const QList<AutostartEntry> all = lister.category("REGISTRY");
        QCOMPARE(all.size(), 2001 + 2 + 2 + 2);
        QSet<QString> keys;
        for (const AutostartEntry& row : all) {
            QVERIFY(!row.rowKey.isEmpty());
            keys.insert(row.rowKey);
        }
        QCOMPARE(keys.size(), all.size());
        // Each "Same" row keeps its own data.
        QStringList programs;
        for (const AutostartEntry& row : all)
            if (row.name == "Same")
                programs << row.program;
        QCOMPARE(programs,
                 QStringList({"C:\\user.exe", "C:\\machine.exe", "C:\\machine.exe", "C:\\machine.exe"}));
    }

    void startupFolderFiles() {
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        QVERIFY(prefix.writeFile("drive_c/Program Files/Tool/tool.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/Program Files/T\u00f6\u00f6l/t\u00f6\u00f6l.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/Program Files/Tool/zero.exe", ""));
        const Lister lister(prefix);
        const QString folder = lister.startup(7);
        QVERIFY2(QFileInfo(lister.platform.fileSystem->hostPath(folder)) ==
                     QFileInfo(prefix.userStartupFolder()),
                 qPrintable(folder));
        const QString dir = folder + '\\';
        const QString host = prefix.userStartupFolder() + '/';

        lister.link(dir + "Tool.lnk", "C:\\Program Files\\Tool\\tool.exe");
        lister.link(dir + "UPPER.LNK", "C:\\Program Files\\Tool\\tool.exe");
        lister.link(dir + "Mein B\u00fcro \u00c4.lnk",
                    "C:\\Program Files\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe");
        lister.link(dir + "gone.lnk", "C:\\Program Files\\Gone\\gone.exe");
        lister.link(dir + "zero.lnk", "C:\\Program Files\\Tool\\zero.exe");
        lister.link(dir + "hidden.lnk", "C:\\Program Files\\Tool\\tool.exe");
        const QString inFolder = host.mid(prefix.path().size() + 1);
        const std::pair<const char*, QByteArray> files[] = {{"broken.lnk", QByteArray(300, '\x4c')},
                                                            {"empty.lnk", {}},
                                                            {"plain program.exe", "MZ"},
                                                            {"empty program.exe", {}},
                                                            {"desktop.ini", "[.ShellClassInfo]\n"},
                                                            {".dotted.exe", "MZ"},
                                                            {"Sub folder.lnk/inner.exe", "MZ"}};
        for (const auto& [name, content] : files)
            QVERIFY(prefix.writeFile(inFolder + name, content));
        QVERIFY(QFile::link(prefix.hostPath("drive_c/windows"), host + "linked folder.lnk"));
        if (!canMarkHidden(lister, dir + "hidden.lnk"))
            QSKIP("the temporary folder keeps no extended attributes");
        lister.hide(dir + "hidden.lnk", true);
        lister.hide(dir + "desktop.ini", true, true);

        QList<AutostartEntry> rows = lister.folder(7);
        QStringList names = namesOf(rows);
        names.sort();
        QCOMPARE(names, QStringList({".dotted.exe", "Mein B\u00fcro \u00c4.lnk", "Tool.lnk", "UPPER.LNK",
                                     "broken.lnk", "empty program.exe", "empty.lnk", "gone.lnk", "hidden.lnk",
                                     "plain program.exe", "zero.lnk"}));
        QVERIFY(!byName(rows, ".dotted.exe")->active);
        const QString tool = QStringLiteral("C:\\Program Files\\Tool\\tool.exe");
        verifyStates(
            rows, {{"Tool.lnk", tool + "|AV"},
                   {"UPPER.LNK", tool + "|AV"},
                   {"hidden.lnk", tool + "|-V"},
                   {"Mein B\u00fcro \u00c4.lnk", "C:\\Program Files\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe|AV"},
                   {"gone.lnk", "C:\\Program Files\\Gone\\gone.exe|A-"},
                   {"zero.lnk", "C:\\Program Files\\Tool\\zero.exe|A-"},
                   {"broken.lnk", "|A-"},
                   {"empty.lnk", "|A-"},
                   {"plain program.exe", dir + "plain program.exe|AV"},
                   {"empty program.exe", dir + "empty program.exe|A-"}});
        for (const AutostartEntry& row : rows) {
            QCOMPARE(row.tag, dir + row.name);
            QVERIFY(row.rowKey.isEmpty());
        }
        // Clearing the mark makes the entry active again.
        lister.hide(dir + "hidden.lnk", false);
        rows = lister.folder(7);
        QVERIFY(byName(rows, "hidden.lnk")->active);
    }

    void categoriesListTheirPlacesInOrder() {
        const QByteArray one = "\"a\"=\"x\"\n";
        TempPrefix prefix(runSection(one) + runOnceSection(one),
                          TempPrefix::userProfileBody() + runSection(one) + runOnceSection(one));
        QVERIFY(
            prefix.writeFile(prefix.userStartupFolder().mid(prefix.path().size() + 1) + "/user.exe", "MZ"));
        QVERIFY(prefix.writeFile(prefix.commonStartupFolder().mid(prefix.path().size() + 1) + "/common.exe",
                                 "MZ"));
        const Lister lister(prefix);

        // Every place once, in their fixed order, and a category of each side lists only its own.
        QCOMPARE(kindsOf(lister.category("ALL")),
                 (QStringList{"LURun", "LURunOnce", "AURun", "AURunOnce", "SMAllUsr", "SMLocalUsr"}));
        QCOMPARE(kindsOf(lister.category("LOCAL USER REG")), (QStringList{"LURun", "LURunOnce"}));
        QCOMPARE(kindsOf(lister.category("STARTMENU")), (QStringList{"SMAllUsr", "SMLocalUsr"}));
        const QList<AutostartEntry> all = lister.category("ALL");
        QCOMPARE(all[4].name, QString("common.exe"));
        QCOMPARE(all[5].name, QString("user.exe"));
        QVERIFY(all[4].valid && all[5].valid);
        for (const char* key : {"SERVICES", "all", "UNKNOWN"})
            QVERIFY2(lister.category(key).isEmpty(), key);

        // What one listing read of the folders is not kept for the next: a new program counts.
        QVERIFY(
            prefix.writeFile(prefix.userStartupFolder().mid(prefix.path().size() + 1) + "/later.exe", "MZ"));
        const QList<AutostartEntry> again = lister.category("LOCAL USER");
        const AutostartEntry* later = byName(again, "later.exe");
        QVERIFY(later && later->valid);
    }
};

QTEST_GUILESS_MAIN(ListingTest)
#include "listing_test.moc"
