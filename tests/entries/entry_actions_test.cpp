// Toggling, backing up, deleting and writing entries on throwaway prefixes: registry files in Wine's
// format, Startup files with real user.DOSATTRIB attributes, a wineserver lock held as Wine holds it.
#include "entries/entry_actions.h"
#include "entries/entry_writer.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "fixture_bytes.h"
#include "platform/language_texts.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_platform.h"
#include "server_lock.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <tuple>

#include <sys/stat.h>

using namespace sw;
using sw::test::dosAttrib;
using sw::test::TempPrefix;

Q_DECLARE_METATYPE(sw::EntryProblem)

namespace {

const QString kRun = sw::test::kRunKey;
const QString kBackups = kBackupKey;
const QString kKnown = QStringLiteral("C:\\Tools\\known.exe");
const QString kTool = QStringLiteral("C:\\Program Files\\My Tool\\tool.exe");

bool writable(const QString& hostFile) {
    struct stat st {};
    return ::stat(QFile::encodeName(hostFile).constData(), &st) == 0 && (st.st_mode & 0200);
}

// The actions on one prefix, with rows taken from the listing as the front ends take them.
struct Prefix : TempPrefix {
    explicit Prefix(const QByteArray& system = {}, const QByteArray& user = TempPrefix::userProfileBody())
        : TempPrefix(system, user), platform(makeWinePlatform(path())) {}
    Platform platform;
    LanguageTexts texts;
    QTemporaryDir data;

    AutostartEntry row(std::int32_t root, const QString& key, const QString& name) const {
        for (const AutostartEntry& r : listRegistryKey({platform, texts}, root, key, QString()))
            if (r.name == name)
                return r;
        return {};
    }
    AutostartEntry fileRow(bool user, const QString& name) const {
        const QString folder = platform.system->getSpecialFolder(user ? 7 : 24, false, false);
        for (const AutostartEntry& r : listStartmenuFolder({platform, texts}, folder + "\\", QString()))
            if (r.name == name)
                return r;
        return {};
    }
    QStringList names(std::int32_t root, const QString& key) const {
        const auto listed = WineRegistryStore(path()).enumerateValues(root, key);
        return listed ? listed->names : QStringList{QStringLiteral("<no key>")};
    }
    DeleteOutcome remove(const AutostartEntry& row) const {
        return deleteEntry(platform, data.path(), row, BackupPolicy::RefuseWithoutBackup);
    }
    QByteArray userReg() const { return readFile("user.reg"); }
    QByteArray systemReg() const { return readFile("system.reg"); }
    QString userStartup(const QString& name) const { return userStartupFolder() + "/" + name; }
    QString commonStartup(const QString& name) const { return commonStartupFolder() + "/" + name; }
    EntryPlace place(const QString& category) const {
        return entryPlaceOfCategory(*platform.system, category);
    }
    // Programs for new entries; a hidden one does not count as found.
    void putPrograms() const {
        for (const char* file : {"drive_c/Tools/known.exe", "drive_c/Tools/hidden.exe",
                                 "drive_c/Program Files/My Tool/tool.exe"})
            QVERIFY(writeFile(file, "MZ"));
        platform.fileSystem->setAttributes("C:\\Tools\\hidden.exe", {false, true, false, false});
    }
};

} // namespace

class EntryActionsTest : public QObject {
    Q_OBJECT

private slots:
    void togglesRegistryDataAsItIsNow() {
        Prefix p({}, TempPrefix::userProfileBody() +
                         TempPrefix::runSection(
                             "\"Tool\"=\"\\\"C:\\\\tool.exe\\\" /x\"\n\"Low\"=\"rem C:\\\\low.exe\"\n"
                             "\"Moved\"=\"C:\\\\old.exe\"\n\"Gone\"=\"C:\\\\gone.exe\"\n"));
        const AutostartEntry tool = p.row(kHkeyCurrentUser, kRun, "Tool");
        QVERIFY(tool.active);
        toggleActivation(p.platform, tool);
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Tool"), QString("REM \"C:\\tool.exe\" /x"));
        toggleActivation(p.platform, p.row(kHkeyCurrentUser, kRun, "Tool"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Tool"), QString("\"C:\\tool.exe\" /x"));

        // a lower-case mark counts, and activating drops it whatever its case
        const AutostartEntry low = p.row(kHkeyCurrentUser, kRun, "Low");
        QVERIFY(!low.active);
        toggleActivation(p.platform, low);
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Low"), QString("C:\\low.exe"));

        // already in the asked state: nothing is written
        const QByteArray before = p.userReg();
        QVERIFY(!setActivation(p.platform, p.row(kHkeyCurrentUser, kRun, "Low"), true));
        QCOMPARE(p.userReg(), before);

        // changed since the listing: the current data is kept; vanished: never brought back
        const AutostartEntry moved = p.row(kHkeyCurrentUser, kRun, "Moved");
        const AutostartEntry gone = p.row(kHkeyCurrentUser, kRun, "Gone");
        WineRegistryStore(p.path()).writeStringValue(kHkeyCurrentUser, kRun, "Moved", "C:\\new.exe");
        WineRegistryStore(p.path()).deleteValue(kHkeyCurrentUser, kRun, "Gone");
        toggleActivation(p.platform, moved);
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Moved"), QString("REM C:\\new.exe"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, toggleActivation(p.platform, gone));
        QVERIFY_THROWS_EXCEPTION(RegistryError, p.remove(gone));
        QVERIFY(!p.userReg().contains("\"Gone\""));
    }

    void togglingAStartupFileKeepsOnlyTheHiddenMark() {
        Prefix p;
        const QString file = p.userStartup("Tool.lnk");
        QVERIFY(p.writeFile(file, "not a link"));
        // read-only and system (which the listing leaves out), as a careful installer leaves it
        const AutostartEntry listed = p.fileRow(true, "Tool.lnk");
        QVERIFY(!listed.tag.isEmpty());
        p.platform.fileSystem->setAttributes(listed.tag, {true, false, true, false});
        QCOMPARE(dosAttrib(file), QByteArray("0x4"));
        QVERIFY(!writable(file));

        toggleActivation(p.platform, listed);
        QCOMPARE(dosAttrib(file), QByteArray("0x2"));
        QVERIFY(writable(file));
        QVERIFY(!p.fileRow(true, "Tool.lnk").active);
        toggleActivation(p.platform, p.fileRow(true, "Tool.lnk"));
        QCOMPARE(dosAttrib(file), QByteArray("<none>"));
        QVERIFY(p.fileRow(true, "Tool.lnk").active);

        // a file deleted since the listing is not made anew
        const AutostartEntry row = p.fileRow(true, "Tool.lnk");
        QVERIFY(QFile::remove(file));
        QVERIFY_THROWS_EXCEPTION(FileSystemError, toggleActivation(p.platform, row));
        QVERIFY(!QFile::exists(file));
    }

    void registryBackupsGoByLevelAndKeyEnding() {
        Prefix p(TempPrefix::runSection("\"Machine\"=\"C:\\\\m.exe\"\n", "RunOnce") +
                     TempPrefix::section("Software\\Vendor\\AutoRUN", "\"Odd\"=\"C:\\\\odd.exe\"\n"),
                 TempPrefix::userProfileBody() +
                     TempPrefix::runSection("\"Same\"=\"first\"\n\"Off\"=\"Rem C:\\\\off.exe\"\n") +
                     TempPrefix::section("Software\\Vendor\\Runner", "\"Runner\"=\"C:\\\\r.exe\"\n"));
        const auto remove = [&](std::int32_t root, const QString& key, const QString& name) {
            return p.remove(p.row(root, key, name)).backup;
        };
        QCOMPARE(remove(kHkeyLocalMachine, kRun + "Once", "Machine"), kBackups + "\\HKEY_LM\\RunOnce");
        QCOMPARE(remove(kHkeyLocalMachine, "Software\\Vendor\\AutoRUN", "Odd"), kBackups + "\\HKEY_LM\\Run");
        QCOMPARE(remove(kHkeyCurrentUser, "Software\\Vendor\\Runner", "Runner"),
                 kBackups + "\\HKEY_CU\\RunOnce");
        // an inactive entry keeps its mark in the backup
        QCOMPARE(remove(kHkeyCurrentUser, kRun, "Off"), kBackups + "\\HKEY_CU\\Run");
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", "Off"), QString("Rem C:\\off.exe"));
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_LM\\RunOnce", "Machine"), QString("C:\\m.exe"));
        QCOMPARE(p.names(kHkeyLocalMachine, kRun + "Once"), QStringList());
        QVERIFY(!p.systemReg().contains("Backups")); // machine entries are kept with the user's

        // a later backup of the same name (in any case) keeps the earlier one; so does a name that
        // looks numbered already
        remove(kHkeyCurrentUser, kRun, "Same");
        for (const char* name : {"SAME", "Same (2)"}) {
            WineRegistryStore(p.path()).writeStringValue(kHkeyCurrentUser, kRun, name, name);
            remove(kHkeyCurrentUser, kRun, name);
        }
        QCOMPARE(p.names(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run"),
                 QStringList({"Off", "Same", "SAME (2)", "Same (2) (2)"}));
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", "Same"), QString("first"));
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", "Same (2) (2)"), QString("Same (2)"));
        QCOMPARE(p.names(kHkeyCurrentUser, kRun), QStringList());
    }

    void fileBackupsGoByTheUsersStartupFolder() {
        Prefix p;
        QVERIFY(p.writeFile(p.userStartup("Mine.lnk"), "mine"));
        QVERIFY(p.writeFile(p.commonStartup("Shared.lnk"), "shared"));
        const QString backups = p.data.path() + "/Backups/Startmenu/";
        QCOMPARE(p.remove(p.fileRow(true, "Mine.lnk")).backup, backups + "Local User/Mine.lnk");
        p.remove(p.fileRow(false, "Shared.lnk"));
        QCOMPARE(QDir(backups + "Local User").entryList(QDir::Files), QStringList{"Mine.lnk"});
        QCOMPARE(QDir(backups + "All Users").entryList(QDir::Files), QStringList{"Shared.lnk"});
        QVERIFY(!QFile::exists(p.userStartup("Mine.lnk")) && !QFile::exists(p.commonStartup("Shared.lnk")));

        // a later backup keeps the earlier; no temporary stays beside them
        QVERIFY(p.writeFile(p.userStartup("Mine.lnk"), "mine, later"));
        QCOMPARE(p.remove(p.fileRow(true, "Mine.lnk")).backup, backups + "Local User/Mine (2).lnk");
        QCOMPARE(test::fileBytes(backups + "Local User/Mine.lnk"), QByteArray("mine"));
        QCOMPARE(test::fileBytes(backups + "Local User/Mine (2).lnk"), QByteArray("mine, later"));
        QCOMPARE(QDir(backups + "Local User").entryList(QDir::Files | QDir::Hidden).size(), 2);

        // a user Startup folder that cannot be named is the empty text, found in every path
        Prefix unnamed({},
                       TempPrefix::userProfileBody() +
                           TempPrefix::section(
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                               "\"StartUp\"=\"\\\\\\\\server\\\\startup\"\n"));
        QCOMPARE(unnamed.platform.system->getSpecialFolder(7, false, false), QString());
        QVERIFY(unnamed.writeFile(unnamed.commonStartup("Shared.lnk"), "s"));
        QCOMPARE(unnamed.remove(unnamed.fileRow(false, "Shared.lnk")).backup,
                 unnamed.data.path() + "/Backups/Startmenu/Local User/Shared.lnk");
    }

    void backupPlacesAreMadeOnceAndAFailedCopyFollowsThePolicy() {
        Prefix p({}, TempPrefix::userProfileBody() + TempPrefix::runSection("\"A\"=\"a\"\n\"B\"=\"b\"\n"));
        ensureBackupPlaces(p.platform, p.data.path());
        const QByteArray once = p.userReg();
        for (const char* leaf :
             {"\\HKEY_LM\\Run", "\\HKEY_LM\\RunOnce", "\\HKEY_CU\\Run", "\\HKEY_CU\\RunOnce"})
            QCOMPARE(p.names(kHkeyCurrentUser, kBackups + leaf), QStringList());
        const auto inside = [&](const char* folder) {
            return QDir(p.data.filePath(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        };
        QCOMPARE(inside("Backups"), QStringList{"Startmenu"});
        QCOMPARE(inside("Backups/Startmenu"), QStringList({"All Users", "Local User"}));
        for (const char* folder : {"Backups/Startmenu/All Users", "Backups/Startmenu/Local User"})
            QVERIFY(QDir(p.data.filePath(folder)).isEmpty());
        ensureBackupPlaces(p.platform, p.data.path());
        QCOMPARE(p.userReg(), once);
        QCOMPARE(QDir(p.path()).entryList({"*swtmp*"}, QDir::Files | QDir::Hidden), QStringList());

        // a data folder that cannot hold backups: the window deletes anyway, the command line
        // keeps the entry
        const QString noFolder = p.hostPath("user.reg/data");
        const AutostartEntry b = p.row(kHkeyCurrentUser, kRun, "B");
        QVERIFY(p.writeFile(p.userStartup("F.lnk"), "f"));
        QVERIFY_THROWS_EXCEPTION(std::exception, deleteEntry(p.platform, noFolder, p.fileRow(true, "F.lnk"),
                                                             BackupPolicy::RefuseWithoutBackup));
        QVERIFY(QFile::exists(p.userStartup("F.lnk")));
        const DeleteOutcome anyway = deleteEntry(p.platform, noFolder, p.fileRow(true, "F.lnk"),
                                                 BackupPolicy::DeleteEvenWithoutBackup);
        QVERIFY(anyway.backup.isEmpty() && !anyway.backupError.isEmpty());
        QVERIFY(!QFile::exists(p.userStartup("F.lnk")));
        QCOMPARE(deleteEntry(p.platform, noFolder, b, BackupPolicy::RefuseWithoutBackup).backup,
                 kBackups + "\\HKEY_CU\\Run"); // registry backups do not need the folder
    }

    void nothingChangesWhileWineRuns() {
        Prefix p({}, TempPrefix::userProfileBody() + TempPrefix::runSection("\"A\"=\"a\"\n"));
        QVERIFY(p.writeFile(p.userStartup("F.lnk"), "f"));
        const AutostartEntry value = p.row(kHkeyCurrentUser, kRun, "A");
        const AutostartEntry file = p.fileRow(true, "F.lnk");
        const QByteArray user = p.userReg();
        sw::test::HeldServerLock server(p.path());
        QVERIFY(server.locked());
        QVERIFY_THROWS_EXCEPTION(WriteRefused, toggleActivation(p.platform, value));
        QVERIFY_THROWS_EXCEPTION(WriteRefused, toggleActivation(p.platform, file));
        QVERIFY_THROWS_EXCEPTION(WriteRefused, ensureBackupPlaces(p.platform, p.data.path()));
        for (const AutostartEntry& row : {value, file})
            QVERIFY_THROWS_EXCEPTION(WriteRefused, deleteEntry(p.platform, p.data.path(), row,
                                                               BackupPolicy::DeleteEvenWithoutBackup));
        QCOMPARE(p.userReg(), user);
        QCOMPARE(dosAttrib(p.userStartup("F.lnk")), QByteArray("<none>"));
        QVERIFY(QFile::exists(p.userStartup("F.lnk")));
        QVERIFY(QDir(p.data.path()).isEmpty());

        server.release();
        toggleActivation(p.platform, file);
        QCOMPARE(dosAttrib(p.userStartup("F.lnk")), QByteArray("0x2"));
    }

    void aReadOnlyMachineFileRefusesCleanly() {
        Prefix p(TempPrefix::runSection("\"Machine\"=\"C:\\\\m.exe\"\n"));
        const QString system = p.hostPath("system.reg");
        QVERIFY(QFile::setPermissions(system, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        ensureBackupPlaces(p.platform, p.data.path());
        const QByteArray machine = p.systemReg();
        const QByteArray user = p.userReg();
        const AutostartEntry row = p.row(kHkeyLocalMachine, kRun, "Machine");
        QVERIFY_THROWS_EXCEPTION(RegistryError, toggleActivation(p.platform, row));
        QCOMPARE(p.userReg(), user);
        // the copy is made first; the machine's own value stays as it was
        QVERIFY_THROWS_EXCEPTION(RemovalFailed, p.remove(row));
        QCOMPARE(p.systemReg(), machine);
        QCOMPARE(p.names(kHkeyLocalMachine, kRun), QStringList{"Machine"});
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_LM\\Run", "Machine"), QString("C:\\m.exe"));
        QVERIFY(!writable(system));
    }

    void namesAreTakenLiterally() {
        const QString odd = QString::fromUtf8("50% \"Caf\xc3\xa9\" %ENTRY% \xd0\x96");
        Prefix p({},
                 TempPrefix::userProfileBody() +
                     TempPrefix::runSection(
                         "\"50% \\\"Caf\\x00e9\\\" %ENTRY% \\x0416\"=\"C:\\\\50%.exe\"\n\"50%\"=\"x\"\n"));
        QVERIFY(p.writeFile(p.userStartup(odd + ".lnk"), "odd"));
        QCOMPARE(p.row(kHkeyCurrentUser, kRun, odd).name, odd);
        toggleActivation(p.platform, p.row(kHkeyCurrentUser, kRun, odd));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, odd), QString("REM C:\\50%.exe"));
        p.remove(p.row(kHkeyCurrentUser, kRun, odd));
        QCOMPARE(p.names(kHkeyCurrentUser, kRun), QStringList{"50%"});
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", odd), QString("REM C:\\50%.exe"));

        toggleActivation(p.platform, p.fileRow(true, odd + ".lnk"));
        QCOMPARE(dosAttrib(p.userStartup(odd + ".lnk")), QByteArray("0x2"));
        p.remove(p.fileRow(true, odd + ".lnk"));
        QVERIFY(QFile::exists(p.data.path() + "/Backups/Startmenu/Local User/" + odd + ".lnk"));
        QVERIFY(!QFile::exists(p.userStartup(odd + ".lnk")));
    }

    void checkGuardsTheWrite_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("category");
        QTest::addColumn<EntryProblem>("problem");
        const auto row = [](const char* tag, const QString& name, const QString& program,
                            const char* category, EntryProblem problem) {
            QTest::newRow(tag) << name << program << QString(category) << problem;
        };
        row("plain", "Tool", kKnown, "LOCAL RUN", EntryProblem::None);
        row("no place", "Tool", kKnown, "ALL", EntryProblem::NoPlace);
        row("empty program", "Tool", "", "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("open quote", "Tool", "\"" + kTool, "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("missing program", "Tool", "C:\\Missing\\tool.exe", "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("hidden program", "Tool", "C:\\Tools\\hidden.exe", "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("blank name", " ", kKnown, "LOCAL RUN", EntryProblem::BadName);
        row("name too long", QString(kMaxEntryNameLength + 1, 'x'), kKnown, "LOCAL RUN",
            EntryProblem::BadName);
        // Names Windows refuses as file names are fine for the registry, not for a shortcut.
        row("backslash in a value", "a\\b", kKnown, "LOCAL RUN", EntryProblem::None);
        for (const char* bad : {"a\\b", "a:b", "say \"hi\"", "dot.", "CON", "com1.txt"})
            row(bad, bad, kKnown, "ALL USERS", EntryProblem::BadName);
    }

    void checkGuardsTheWrite() {
        QFETCH(QString, name);
        QFETCH(QString, program);
        QFETCH(QString, category);
        QFETCH(EntryProblem, problem);
        Prefix p;
        p.putPrograms();
        QCOMPARE(checkEntry(p.platform, name, program, p.place(category)), problem);
    }

    void writesIntoEachPlace() {
        Prefix p;
        p.putPrograms();
        const QString typed = "\"" + kTool + "\" /min";
        for (const char* category : {"LOCAL RUN", "LOCAL RUNONCE", "ALL RUN", "ALL RUNONCE"}) {
            const EntryPlace place = p.place(category);
            QCOMPARE(writeEntry(p.platform, QStringLiteral(" Tool "), typed, place).name,
                     QStringLiteral("Tool"));
            QCOMPARE(p.value(place.root, place.key, "Tool"), typed); // as typed, arguments kept
        }

        // Shortcuts name the program file only; ".lnk" is appended unless the name ends exactly so.
        // A missing Startup folder is made.
        QVERIFY(QDir(p.commonStartupFolder()).removeRecursively());
        QCOMPARE(writeEntry(p.platform, "Mine.lnk", typed, p.place("LOCAL USER")).name,
                 QStringLiteral("Mine.lnk"));
        QCOMPARE(writeEntry(p.platform, "Shared.LNK", kKnown, p.place("ALL USERS")).name,
                 QStringLiteral("Shared.LNK.lnk"));
        QCOMPARE(p.fileRow(true, "Mine.lnk").program, kTool);
        QCOMPARE(p.fileRow(false, "Shared.LNK.lnk").program, kKnown);
    }

    void replaceWritesFirstAndRemovesTheOldEntryLast() {
        Prefix p({}, TempPrefix::userProfileBody() +
                         TempPrefix::runSection("\"Mine\"=\"REM C:\\\\Tools\\\\known.exe\"\n"));
        p.putPrograms();
        // Same place and name: the inactive entry is written again, active.
        replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Mine"), "Mine", kKnown, p.place("LOCAL RUN"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Mine"), kKnown);
        replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Mine"), "Renamed", kKnown,
                     p.place("LOCAL RUN"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("<none>"));

        // A Startup folder whose path is a file, a name checkEntry refuses, a prefix in use: nothing
        // is written and the old entry stays.
        const AutostartEntry renamed = p.row(kHkeyCurrentUser, kRun, "Renamed");
        const auto moveAs = [&](const QString& name) {
            return replaceEntry(p.platform, renamed, name, kKnown, p.place("ALL USERS"));
        };
        QVERIFY(QDir(p.commonStartupFolder()).removeRecursively());
        QVERIFY(p.writeFile(p.commonStartupFolder(), "x"));
        QVERIFY_THROWS_EXCEPTION(FileSystemError, moveAs("Renamed"));
        QVERIFY(QFile::remove(p.commonStartupFolder()));
        QVERIFY_THROWS_EXCEPTION(EntryRejected, moveAs("a:b"));
        p.platform.readOnlyReason = [] { return QStringLiteral("Wine is running."); };
        QVERIFY_THROWS_EXCEPTION(WriteRefused, moveAs("Renamed"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Renamed"), kKnown);
        QVERIFY(!QFile::exists(p.commonStartupFolder()));

        // Once the folder can be made, the move goes through.
        p.platform.readOnlyReason = [] { return QString(); };
        QCOMPARE(moveAs("Renamed").name, QStringLiteral("Renamed.lnk"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Renamed"), QStringLiteral("<none>"));
        QCOMPARE(p.fileRow(false, "Renamed.lnk").program, kKnown);
    }

    // Wine's own spelling of the types in user.reg is what Wine reads back.
    void valuesKeepTheirTypeAndThoseWithoutTextAreNeverRewritten() {
        Prefix p({},
                 TempPrefix::userProfileBody() +
                     TempPrefix::runSection("\"Expanded\"=str(2):\"C:\\\\Tools\\\\known.exe %TEMP%\"\n"
                                            "\"Number\"=dword:00000001\n\"List\"=hex(7):61,00,00,00,00,00\n"
                                            "\"Bytes\"=hex:52,45,4d,20\n"));
        p.putPrograms();
        toggleActivation(p.platform, p.row(kHkeyCurrentUser, kRun, "Expanded"));
        QVERIFY(p.userReg().contains("\"Expanded\"=str(2):\"REM C:\\\\Tools\\\\known.exe %TEMP%\"\n"));
        toggleActivation(p.platform, p.row(kHkeyCurrentUser, kRun, "Expanded"));
        QVERIFY(p.userReg().contains("\"Expanded\"=str(2):\"C:\\\\Tools\\\\known.exe %TEMP%\"\n"));
        // renamed and moved, still expandable; its backup too
        replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Expanded"), "Renamed",
                     "C:\\Tools\\known.exe %TEMP%", p.place("LOCAL RUN"));
        replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Renamed"), "Renamed",
                     "C:\\Tools\\known.exe %TMP%", p.place("ALL RUN"));
        QVERIFY(p.systemReg().contains("\"Renamed\"=str(2):\"C:\\\\Tools\\\\known.exe %TMP%\"\n"));
        QCOMPARE(p.names(kHkeyCurrentUser, kRun), QStringList({"Number", "List", "Bytes"}));
        p.remove(p.row(kHkeyLocalMachine, kRun, "Renamed"));

        // Listed, but neither switched nor edited; deleting backs up the data as it is.
        const QByteArray before = p.userReg();
        for (const char* name : {"Number", "List", "Bytes"}) {
            const AutostartEntry row = p.row(kHkeyCurrentUser, kRun, name);
            QCOMPARE(row.name, QString(name));
            QVERIFY_THROWS_EXCEPTION(ValueNotText, ensureTextValue(p.platform, row));
            QVERIFY_THROWS_EXCEPTION(ValueNotText, toggleActivation(p.platform, row));
            QVERIFY_THROWS_EXCEPTION(ValueNotText, setActivation(p.platform, row, true));
            QVERIFY_THROWS_EXCEPTION(ValueNotText,
                                     replaceEntry(p.platform, row, "Other", kKnown, p.place("LOCAL RUN")));
        }
        QCOMPARE(p.userReg(), before);
        p.remove(p.row(kHkeyCurrentUser, kRun, "Number"));
        const auto typeOf = [&](const QString& level, const QString& name) {
            const auto raw =
                WineRegistryStore(p.path()).readRawValue(kHkeyCurrentUser, kBackups + level, name);
            return raw ? raw->type : 0u;
        };
        QCOMPARE(typeOf("\\HKEY_CU\\Run", "Number"), 4u);
        QCOMPARE(typeOf("\\HKEY_LM\\Run", "Renamed"), 2u);
        QCOMPARE(p.names(kHkeyCurrentUser, kRun), QStringList({"List", "Bytes"}));
    }

    void aStartupFileThatIsNoShortcutIsRenamedOrMovedNeverReplaced() {
        Prefix p;
        p.putPrograms();
        QVERIFY(p.writeFile(p.userStartup("run.bat"), "@echo off\r\n"));
        toggleActivation(p.platform, p.fileRow(true, "run.bat")); // inactive: hidden
        const AutostartEntry bat = p.fileRow(true, "run.bat");
        QVERIFY_THROWS_EXCEPTION(EntryRejected,
                                 replaceEntry(p.platform, bat, "run.bat", kKnown, p.place("LOCAL USER")));
        QCOMPARE(p.readFile(p.userStartup("run.bat")), QByteArray("@echo off\r\n"));

        // A rename keeps the extension and the content, and the entry comes back active.
        QCOMPARE(
            replaceEntry(p.platform, bat, " Runner ", "\"" + bat.program + "\"", p.place("LOCAL USER")).name,
            QStringLiteral("Runner.bat"));
        QCOMPARE(QDir(p.userStartupFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Runner.bat"});
        QCOMPARE(p.readFile(p.userStartup("Runner.bat")), QByteArray("@echo off\r\n"));
        QCOMPARE(dosAttrib(p.userStartup("Runner.bat")), QByteArray("<none>"));

        // Moved to the other folder as it is; moved to a key, the key names the file, which stays,
        // hidden so that it starts once.
        QVERIFY(QDir(p.commonStartupFolder()).removeRecursively());
        const AutostartEntry runner = p.fileRow(true, "Runner.bat");
        replaceEntry(p.platform, runner, "Runner.BAT", runner.program, p.place("ALL USERS"));
        QCOMPARE(QDir(p.commonStartupFolder()).entryList(QDir::Files), QStringList{"Runner.BAT"});
        QVERIFY(!QFile::exists(p.userStartup("Runner.bat")));
        const AutostartEntry shared = p.fileRow(false, "Runner.BAT");
        replaceEntry(p.platform, shared, "Runner", shared.program, p.place("LOCAL RUN"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Runner"), "\"" + shared.tag + "\"");
        QCOMPARE(p.readFile(p.commonStartup("Runner.BAT")), QByteArray("@echo off\r\n"));
        QCOMPARE(dosAttrib(p.commonStartup("Runner.BAT")), QByteArray("0x2"));
    }

    void aShortcutKeepsWhatTheEditDidNotChange() {
        Prefix p;
        p.putPrograms();
        ShortcutInfo made;
        made.target = kTool;
        made.arguments = "/tray --quiet";
        made.description = "My tool";
        made.workingPath = "C:\\Work";
        made.iconPath = "C:\\Tools\\known.exe";
        made.iconIndex = 2;
        made.showCommand = 7;
        p.platform.newShortcutFile()->createShortcut(
            p.platform.system->getSpecialFolder(7, false, false) + "\\Tool.lnk", made);
        const auto infoOf = [&](bool user, const QString& name) {
            const auto link = p.platform.newShortcutFile();
            link->loadShortcut(p.fileRow(user, name).tag);
            return link->getInfo();
        };
        const auto same = [](const ShortcutInfo& a, const ShortcutInfo& b) {
            return std::tie(a.target, a.arguments, a.description, a.workingPath, a.iconPath, a.iconIndex,
                            a.showCommand) == std::tie(b.target, b.arguments, b.description, b.workingPath,
                                                       b.iconPath, b.iconIndex, b.showCommand);
        };
        // renamed and moved with the program unchanged: the link is the same link
        replaceEntry(p.platform, p.fileRow(true, "Tool.lnk"), "Renamed", kTool, p.place("ALL USERS"));
        QVERIFY(same(infoOf(false, "Renamed.lnk"), made));

        // another program: what followed the old one (its folder, its file) follows the new one
        ShortcutInfo following = made;
        following.workingPath = "C:\\Program Files\\My Tool";
        following.iconPath = kTool;
        p.platform.newShortcutFile()->createShortcut(
            p.platform.system->getSpecialFolder(7, false, false) + "\\Follow.lnk", following);
        replaceEntry(p.platform, p.fileRow(true, "Follow.lnk"), "Follow.lnk", kKnown, p.place("LOCAL USER"));
        ShortcutInfo expected = following;
        expected.target = kKnown;
        expected.workingPath = "C:\\Tools";
        expected.iconPath.clear();
        expected.iconIndex = 0;
        QVERIFY(same(infoOf(true, "Follow.lnk"), expected));
        replaceEntry(p.platform, p.fileRow(false, "Renamed.lnk"), "Renamed", kKnown, p.place("ALL USERS"));
        expected = made;
        expected.target = kKnown;
        QVERIFY(same(infoOf(false, "Renamed.lnk"), expected));

        // moved to a key, the arguments go on the command line
        replaceEntry(p.platform, p.fileRow(true, "Follow.lnk"), "Follow", kKnown, p.place("LOCAL RUN"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Follow"), kKnown + " /tray --quiet");
    }

    void anEntryOfTheSameNameIsReplacedOnlyWhenAllowedAndAfterItsBackup() {
        Prefix p({},
                 TempPrefix::userProfileBody() +
                     TempPrefix::runSection("\"Tool\"=\"C:\\\\old.exe\"\n\"Other\"=\"C:\\\\other.exe\"\n"));
        p.putPrograms();
        QVERIFY(p.writeFile(p.userStartup("tool.lnk"), "old link"));
        QVERIFY(p.writeFile(p.userStartup("run.bat"), "run"));
        QVERIFY(p.writeFile(p.userStartup("Other.bat"), "other"));
        const QByteArray user = p.userReg();
        QStringList asked;
        ReplaceRule no{[&](const AutostartEntry& existing) {
                           asked << existing.name;
                           return false;
                       },
                       p.data.path()};
        ReplaceRule yes = no;
        yes.allowed = [&](const AutostartEntry& existing) {
            asked << existing.name;
            return true;
        };
        // refused without a rule and when the rule says no: nothing written, nothing backed up
        for (const ReplaceRule& rule : {ReplaceRule{}, no}) {
            const auto refused = [](const std::function<void()>& write) {
                try {
                    write();
                } catch (const EntryRejected& rejected) {
                    return rejected.problem() == EntryProblem::EntryExists;
                }
                return false;
            };
            QVERIFY(refused([&] { writeEntry(p.platform, "TOOL", kKnown, p.place("LOCAL RUN"), rule); }));
            QVERIFY(refused([&] { writeEntry(p.platform, "Tool", kKnown, p.place("LOCAL USER"), rule); }));
            QVERIFY(refused([&] {
                replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Other"), "tool", kKnown,
                             p.place("LOCAL RUN"), rule);
            }));
            QVERIFY(refused([&] {
                replaceEntry(p.platform, p.fileRow(true, "run.bat"), "other",
                             p.fileRow(true, "run.bat").program, p.place("LOCAL USER"), rule);
            }));
        }
        QCOMPARE(asked, QStringList({"Tool", "tool.lnk", "Tool", "Other.bat"}));
        QCOMPARE(p.userReg(), user);
        QCOMPARE(p.readFile(p.userStartup("tool.lnk")), QByteArray("old link"));
        QVERIFY(!QDir(p.data.filePath("Backups")).exists());

        // allowed: the backup first, as a deletion makes it
        const WrittenEntry value = writeEntry(p.platform, "TOOL", kKnown, p.place("LOCAL RUN"), yes);
        QCOMPARE(value.replacedBackup, kBackups + "\\HKEY_CU\\Run");
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", "Tool"), QString("C:\\old.exe"));
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Tool"), kKnown);
        const WrittenEntry link = writeEntry(p.platform, "Tool", kKnown, p.place("LOCAL USER"), yes);
        QCOMPARE(sw::test::fileBytes(link.replacedBackup), QByteArray("old link"));
        QCOMPARE(p.fileRow(true, "tool.lnk").program, kKnown);
        replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Other"), "tool", kTool, p.place("LOCAL RUN"),
                     yes);
        QCOMPARE(p.names(kHkeyCurrentUser, kRun), QStringList{"Tool"});
        QCOMPARE(p.value(kHkeyCurrentUser, kRun, "Tool"), kTool);
        // a second backup of the same name keeps the first
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", "Tool"), QString("C:\\old.exe"));
        QCOMPARE(p.value(kHkeyCurrentUser, kBackups + "\\HKEY_CU\\Run", "Tool (2)"), kKnown);
        const AutostartEntry bat = p.fileRow(true, "run.bat");
        const WrittenEntry renamed =
            replaceEntry(p.platform, bat, "Other", bat.program, p.place("LOCAL USER"), yes);
        QCOMPARE(sw::test::fileBytes(renamed.replacedBackup), QByteArray("other"));
        QCOMPARE(p.readFile(p.userStartup("Other.bat")), QByteArray("run"));
        QVERIFY(!QFile::exists(p.userStartup("run.bat")));

        // the edited entry itself is no other entry: no question
        asked.clear();
        replaceEntry(p.platform, p.row(kHkeyCurrentUser, kRun, "Tool"), "TOOL", kTool, p.place("LOCAL RUN"),
                     yes);
        replaceEntry(p.platform, p.fileRow(true, "Other.bat"), "other", p.fileRow(true, "Other.bat").program,
                     p.place("LOCAL USER"), yes);
        QCOMPARE(asked, QStringList());
        QCOMPARE(QDir(p.userStartupFolder()).entryList({"*.bat"}, QDir::Files), QStringList{"other.bat"});
    }
};

QTEST_GUILESS_MAIN(EntryActionsTest)
#include "entry_actions_test.moc"
