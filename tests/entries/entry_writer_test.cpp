// Writing new and edited entries on throwaway prefixes: the checks that guard a write, what lands in
// each place, and an edit that fails leaving the old entry as it was.
#include "entries/entry_actions.h"
#include "entries/entry_writer.h"
#include "entries/listing.h"
#include "platform/file_system.h"
#include "platform/language_texts.h"
#include "platform/shortcut_file.h"
#include "platform/system_info.h"
#include "platform/wine/wine_platform.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace sw;
using sw::test::TempPrefix;

Q_DECLARE_METATYPE(sw::EntryProblem)

namespace {

const QString kRun = sw::test::kRunKey;
const QString kTool = QStringLiteral("C:\\Program Files\\My Tool\\tool.exe");

struct Prefix {
    Prefix()
        : files({}, TempPrefix::userProfileBody() +
                        TempPrefix::runSection("\"Mine\"=\"REM C:\\\\Tools\\\\known.exe\"\n")),
          platform(makeWinePlatform(files.path())) {
        QFile exe(test::fixture("app_x86_64.exe"));
        const QByteArray program = exe.open(QIODevice::ReadOnly) ? exe.readAll() : QByteArray();
        files.writeFile("drive_c/Tools/known.exe", program);
        files.writeFile("drive_c/Program Files/My Tool/tool.exe", program);
        files.writeFile("drive_c/Tools/hidden.exe", program);
        FileAttributes hidden;
        hidden.hidden = true;
        platform.fileSystem->setAttributes("C:\\Tools\\hidden.exe", hidden);
    }
    TempPrefix files;
    Platform platform;
    LanguageTexts texts;

    EntryPlace place(const QString& category) const {
        return entryPlaceOfCategory(*platform.system, category);
    }
    AutostartEntry row(const QString& name) const {
        for (const AutostartEntry& r : ListRegistryKey({platform, texts}, kHkeyCurrentUser, kRun, QString()))
            if (r.name == name)
                return r;
        return {};
    }
    QString linkTarget(int csidl, const QString& fileName) const {
        auto link = platform.newShortcutFile();
        link->LoadShortcut(platform.system->GetSpecialFolder(csidl, false, false) + "\\" + fileName);
        return link->GetTarget();
    }
};

} // namespace

class EntryWriterTest : public QObject {
    Q_OBJECT
private slots:
    void checkGuardsTheWrite_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("category");
        QTest::addColumn<EntryProblem>("problem");
        const QString known = QStringLiteral("C:\\Tools\\known.exe");
        const auto row = [](const char* tag, const QString& name, const QString& program,
                            const char* category, EntryProblem problem) {
            QTest::newRow(tag) << name << program << QString(category) << problem;
        };
        row("plain", "Tool", known, "LOCAL RUN", EntryProblem::None);
        row("no place", "Tool", known, "ALL", EntryProblem::NoPlace);
        row("empty program", "Tool", "", "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("open quote", "Tool", "\"" + kTool, "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("missing program", "Tool", "C:\\Missing\\tool.exe", "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("hidden program", "Tool", "C:\\Tools\\hidden.exe", "LOCAL RUN", EntryProblem::ProgramNotFound);
        row("blank name", " ", known, "LOCAL RUN", EntryProblem::BadName);
        row("name too long", QString(kMaxEntryNameLength + 1, 'x'), known, "LOCAL RUN",
            EntryProblem::BadName);
        // Names Windows refuses as file names are fine for the registry, not for a shortcut.
        row("backslash in a value", "a\\b", known, "LOCAL RUN", EntryProblem::None);
        for (const char* bad : {"a\\b", "a:b", "say \"hi\"", "dot.", "CON", "com1.txt"})
            row(bad, bad, known, "ALL USERS", EntryProblem::BadName);
    }

    void checkGuardsTheWrite() {
        QFETCH(QString, name);
        QFETCH(QString, program);
        QFETCH(QString, category);
        QFETCH(EntryProblem, problem);
        Prefix p;
        const EntryPlace place = p.place(category);
        QCOMPARE(checkEntry(p.platform, name, program, place), problem);
        if (problem == EntryProblem::None)
            return;
        const QByteArray user = p.files.readFile("user.reg");
        QVERIFY_THROWS_EXCEPTION(EntryRejected, WriteEntry(p.platform, name, program, place));
        QCOMPARE(p.files.readFile("user.reg"), user);
        QCOMPARE(QDir(p.files.commonStartupFolder()).entryList(QDir::Files), QStringList());
    }

    void writesIntoEachPlace() {
        Prefix p;
        const QString typed = "\"" + kTool + "\" /min";
        for (const char* category : {"LOCAL RUN", "LOCAL RUNONCE", "ALL RUN", "ALL RUNONCE"}) {
            const EntryPlace place = p.place(category);
            const WrittenEntry written = WriteEntry(p.platform, QStringLiteral(" Tool "), typed, place);
            QCOMPARE(written.tag, makeEntryTag(place.root, place.key));
            QCOMPARE(written.name, QStringLiteral("Tool"));
            QCOMPARE(p.files.value(place.root, place.key, "Tool"), typed); // as typed, arguments kept
        }

        // Shortcuts name the program file only; ".lnk" is appended unless the name ends exactly so.
        // A missing Startup folder is made.
        QVERIFY(QDir(p.files.commonStartupFolder()).removeRecursively());
        QCOMPARE(WriteEntry(p.platform, "Mine.lnk", typed, p.place("LOCAL USER")).name,
                 QStringLiteral("Mine.lnk"));
        QCOMPARE(WriteEntry(p.platform, "Shared.LNK", "C:\\Tools\\known.exe", p.place("ALL USERS")).name,
                 QStringLiteral("Shared.LNK.lnk"));
        QCOMPARE(p.linkTarget(kCsidlStartup, "Mine.lnk"), kTool);
        QCOMPARE(p.linkTarget(kCsidlCommonStartup, "Shared.LNK.lnk"), QStringLiteral("C:\\Tools\\known.exe"));
    }

    void replaceWritesFirstAndRemovesTheOldEntryLast() {
        Prefix p;
        const QString known = QStringLiteral("C:\\Tools\\known.exe");
        // Same place and name: the inactive entry is written again, active.
        replaceEntry(p.platform, p.row("Mine"), "Mine", known, p.place("LOCAL RUN"));
        QCOMPARE(p.files.value(kHkeyCurrentUser, kRun, "Mine"), known);
        replaceEntry(p.platform, p.row("Mine"), "Renamed", known, p.place("LOCAL RUN"));
        QCOMPARE(p.files.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("<none>"));

        // A Startup folder whose path is a file, a refused name, a prefix in use: the old entry stays.
        const AutostartEntry renamed = p.row("Renamed");
        const auto moveAs = [&](const QString& name) {
            return replaceEntry(p.platform, renamed, name, known, p.place("ALL USERS"));
        };
        QVERIFY(QDir(p.files.commonStartupFolder()).removeRecursively());
        QVERIFY(p.files.writeFile(p.files.commonStartupFolder(), "x"));
        QVERIFY_THROWS_EXCEPTION(FileSystemError, moveAs("Renamed"));
        QVERIFY(QFile::remove(p.files.commonStartupFolder()));
        QVERIFY_THROWS_EXCEPTION(EntryRejected, moveAs("a:b"));
        p.platform.readOnlyReason = [] { return QStringLiteral("Wine is running."); };
        QVERIFY_THROWS_EXCEPTION(WriteRefused, moveAs("Renamed"));
        QCOMPARE(p.files.value(kHkeyCurrentUser, kRun, "Renamed"), known);
        QVERIFY(!QFile::exists(p.files.commonStartupFolder()));

        // Once the folder can be made, the move goes through.
        p.platform.readOnlyReason = [] { return QString(); };
        QCOMPARE(moveAs("Renamed").name, QStringLiteral("Renamed.lnk"));
        QCOMPARE(p.files.value(kHkeyCurrentUser, kRun, "Renamed"), QStringLiteral("<none>"));
        QCOMPARE(p.linkTarget(kCsidlCommonStartup, "Renamed.lnk"), known);
    }
};

QTEST_GUILESS_MAIN(EntryWriterTest)
#include "entry_writer_test.moc"
