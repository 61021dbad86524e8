// The entry listings and the check list over the files of a throwaway prefix: registry files in Wine's
// text format, real .lnk files, Wine's hidden mark.
#include "entries/check_list.h"
#include "entries/entry_lister.h"
#include "entries/listing.h"
#include "fixture_bytes.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace sw;
using sw::test::kRunKey;
using sw::test::TempPrefix;

namespace {

// Listing over one prefix, as the command line does it (no icons).
struct Lister {
    explicit Lister(const TempPrefix& prefix) : platform(makeWinePlatform(prefix.path())) {}
    Platform platform;
    LanguageTexts texts;

    ListingContext context() const { return {platform, texts}; }
    QList<AutostartEntry> key(std::int32_t root, const QString& path) const {
        return listRegistryKey(context(), root, path, QStringLiteral("label"));
    }
    QList<AutostartEntry> category(const QString& key) const { return listCategory(context(), key); }
    QString startup() const { return platform.system->getSpecialFolder(7, false, false) + QLatin1Char('\\'); }
    void link(const QString& path, const QString& target) const {
        ShortcutInfo info;
        info.target = target;
        info.workingPath = target;
        platform.newShortcutFile()->createShortcut(path, info);
    }
    // False when the temporary folder's file system keeps no extended attributes.
    bool mark(const QString& path, bool hidden, bool system = false) const {
        try {
            platform.fileSystem->setAttributes(path, {false, hidden, system, false});
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
};

const AutostartEntry* byName(const QList<AutostartEntry>& rows, const QString& name) {
    for (const AutostartEntry& row : rows)
        if (row.name == name)
            return &row;
    return nullptr;
}

// "program|AV" of a row: A when active, V when valid, "-" for either missing.
QString stateOf(const AutostartEntry* row) {
    if (!row)
        return QStringLiteral("<none>");
    return row->program + QStringLiteral("|%1%2").arg(row->active ? "A" : "-", row->valid ? "V" : "-");
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

// Run values as Windows shows them: name, data, and the row they give (program|AV; "~" stands for
// the data as it is).
struct RunValue {
    const char* name;
    const char* data;
    const char* row;
};
const RunValue kRunValues[] = {
    // Only "REM" and a blank marks an entry, in any case, and only once; the rest is never touched.
    {"upper", "REM C:\\windows\\tool.exe", "C:\\windows\\tool.exe|-V"},
    {"lower", "rem C:\\windows\\tool.exe /x", "C:\\windows\\tool.exe /x|-V"},
    {"bare", "REM", "~|A-"},
    {"remove", "REMOVE.EXE /all", "~|A-"},
    {"tabbed", "REM\tC:\\windows\\tool.exe", "~|A-"},
    {"onlyrem", "REM ", "|--"},
    {"double", "REM REM C:\\windows\\tool.exe", "REM C:\\windows\\tool.exe|--"},
    {"@", "C:\\windows\\tool.exe", "~|AV"},
    {"empty", "", "~|A-"},
    // Programs are resolved inside the prefix.
    {"quoted", "\"C:\\Program Files\\My Tool\\tool.exe\" /min --tray", "~|AV"},
    {"otherCase", "c:\\PROGRAM FILES\\my tool\\TOOL.EXE", "~|AV"},
    {"env", "%SystemRoot%\\system32\\svc.exe -k netsvcs", "~|AV"},
    {"quotedEnv", "\"%SystemRoot%\\system32\\svc.exe\" -k", "~|AV"},
    {"searched", "svc /start", "~|AV"},
    {"unquotedBlank", "C:\\Program Files\\My Tool\\tool.exe", "~|AV"},
    {"system", "C:\\windows\\sys.exe", "~|AV"},
    {"missing", "\"C:\\Program Files\\Gone\\gone.exe\" /x", "~|A-"},
    {"hidden", "C:\\windows\\secret.exe", "~|A-"},
    {"folder", "C:\\windows\\system32", "~|A-"},
    {"open", "\"C:\\windows\\system32\\svc.exe", "~|A-"},
    {"otherDrive", "D:\\tool.exe", "~|A-"},
    // Wine takes these as C:\bin\sh, not as files of the host.
    {"hostPath", "/bin/sh", "~|A-"},
    {"quotedHostPath", "\"/bin/sh\" -c true", "~|A-"},
};

QByteArray escaped(const char* data) {
    return QByteArray(data).replace("\\", "\\\\").replace("\"", "\\\"").replace("\t", "\\t");
}

} // namespace

class ListingTest : public QObject {
    Q_OBJECT

    TempPrefix m_prefix;
    QList<AutostartEntry> m_runRows;
    bool m_marked = false;

private slots:
    // One Run key holds every case of the table and the values that are no strings.
    void initTestCase() {
        QByteArray lines = "@=\"C:\\\\windows\\\\tool.exe\"\n";
        for (const RunValue& value : kRunValues)
            lines += "\"" + escaped(value.name) + "\"=\"" + escaped(value.data) + "\"\n";
        lines += "\"binary\"=hex:43,00,3a,00,5c,00\n\"number\"=dword:00000001\n"
                 "\"expand\"=str(2):\"%SystemRoot%\\\\tool.exe\"\n\"huge\"=\"C:\\\\" +
                 QByteArray(1 << 20, 'x') + "\"\n";
        QVERIFY(m_prefix.writeFile("user.reg",
                                   TempPrefix::registryHeader(false) + TempPrefix::runSection(lines)));
        for (const char* file : {"windows/tool.exe", "Program Files/My Tool/tool.exe",
                                 "windows/system32/svc.exe", "windows/secret.exe", "windows/sys.exe"})
            QVERIFY(m_prefix.writeFile(QStringLiteral("drive_c/") + file, "MZ"));
        const Lister lister(m_prefix);
        m_marked =
            lister.mark("C:\\windows\\secret.exe", true) && lister.mark("C:\\windows\\sys.exe", false, true);
        m_runRows = lister.key(kHkeyCurrentUser, kRunKey);
    }

    void runValues_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        for (const RunValue& value : kRunValues) {
            QTest::newRow(value.name)
                << QString::fromUtf8(value.name)
                << QString::fromUtf8(value.row).replace("~|", QString::fromUtf8(value.data) + "|");
        }
        QTest::newRow("expand") << "expand"
                                << "%SystemRoot%\\tool.exe|AV";
    }
    void runValues() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        if ((name == "hidden" || name == "system") && !m_marked)
            QSKIP("the temporary folder keeps no extended attributes");
        QCOMPARE(stateOf(byName(m_runRows, name)), expected);
    }

    // In the file's order, the default value left out; data that is no text is listed, never valid.
    void runKeyKeepsTheFileOrderAndListsOddData() {
        QStringList expected;
        for (const RunValue& value : kRunValues)
            expected << QString::fromUtf8(value.name);
        expected << "binary"
                 << "number"
                 << "expand"
                 << "huge";
        QCOMPARE(namesOf(m_runRows), expected);
        for (const AutostartEntry& row : m_runRows)
            QVERIFY2(!row.rowKey.isEmpty(), qPrintable(row.name));
        // a listing keeps no more of a text than Windows starts
        QCOMPARE(byName(m_runRows, "huge")->program.size(), kListedDataUnits);
        for (const char* name : {"huge", "binary", "number"})
            QVERIFY2(!byName(m_runRows, name)->valid, name);
    }

    // Equal names in both roots and in Run and RunOnce stay rows of their own, each with a key of its own.
    void equalNamesInEveryPlaceAreRowsOfTheirOwn() {
        const QByteArray same = "\"Same\"=\"C:\\\\machine.exe\"\n\"Other\"=\"x\"\n";
        TempPrefix prefix(TempPrefix::runSection(same) + TempPrefix::runSection(same, "RunOnce"),
                          TempPrefix::runSection("\"Same\"=\"C:\\\\user.exe\"\n") +
                              TempPrefix::runSection(same, "RunOnce"));
        const QList<AutostartEntry> all = Lister(prefix).category("REGISTRY");
        QCOMPARE(all.size(), 7);
        QSet<QString> keys;
        QStringList programs;
        for (const AutostartEntry& row : all) {
            keys.insert(row.rowKey);
            if (row.name == "Same")
                programs << row.program;
        }
        QCOMPARE(keys.size(), all.size());
        QVERIFY(!keys.contains(QString()));
        QCOMPARE(programs,
                 QStringList({"C:\\user.exe", "C:\\machine.exe", "C:\\machine.exe", "C:\\machine.exe"}));
    }

    void startupFolderFiles() {
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        QVERIFY(prefix.writeFile("drive_c/Program Files/Tool/tool.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/Program Files/T\u00f6\u00f6l/t\u00f6\u00f6l.exe", "MZ"));
        QVERIFY(prefix.writeFile("drive_c/Program Files/Tool/zero.exe", ""));
        const Lister lister(prefix);
        const QString dir = lister.startup();
        QCOMPARE(QFileInfo(lister.platform.fileSystem->hostPath(dir)), QFileInfo(prefix.userStartupFolder()));
        const QString host = prefix.userStartupFolder() + '/';
        const QString tool = QStringLiteral("C:\\Program Files\\Tool\\tool.exe");
        const QString umlaut = QStringLiteral("C:\\Program Files\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe");
        for (const char* name : {"Tool.lnk", "UPPER.LNK", "hidden.lnk"})
            lister.link(dir + name, tool);
        lister.link(dir + "Mein B\u00fcro \u00c4.lnk", umlaut);
        lister.link(dir + "gone.lnk", "C:\\Program Files\\Gone\\gone.exe");
        lister.link(dir + "zero.lnk", "C:\\Program Files\\Tool\\zero.exe");
        const std::pair<const char*, QByteArray> files[] = {{"broken.lnk", QByteArray(300, '\x4c')},
                                                            {"empty.lnk", {}},
                                                            {"plain program.exe", "MZ"},
                                                            {"empty program.exe", {}},
                                                            {"desktop.ini", "[.ShellClassInfo]\n"},
                                                            {".dotted.exe", "MZ"},
                                                            {"Sub folder.lnk/inner.exe", "MZ"}};
        for (const auto& [name, content] : files)
            QVERIFY(prefix.writeFile(host + name, content));
        QVERIFY(QFile::link(prefix.hostPath("drive_c/windows"), host + "linked folder.lnk"));
        QCOMPARE(::mkfifo(QFile::encodeName(host + "pipe.lnk").constData(), 0600),
                 0); // must not block the listing
        if (!lister.mark(dir + "hidden.lnk", true) || !lister.mark(dir + "desktop.ini", true, true))
            QSKIP("the temporary folder keeps no extended attributes");

        // System files, folders and links to folders are left out; a dot file is inactive.
        const QList<AutostartEntry> rows = lister.category("LOCAL USER");
        const std::pair<const char*, QString> expected[] = {
            {".dotted.exe", dir + ".dotted.exe|--"}, // hidden to Wine
            {"Tool.lnk", tool + "|AV"},
            {"UPPER.LNK", tool + "|AV"},
            {"hidden.lnk", tool + "|-V"},
            {"Mein B\u00fcro \u00c4.lnk", umlaut + "|AV"},
            {"gone.lnk", "C:\\Program Files\\Gone\\gone.exe|A-"},
            {"zero.lnk", "C:\\Program Files\\Tool\\zero.exe|A-"},
            {"broken.lnk", "|A-"},
            {"empty.lnk", "|A-"},
            {"pipe.lnk", "|A-"},
            {"plain program.exe", dir + "plain program.exe|AV"},
            {"empty program.exe", dir + "empty program.exe|A-"}};
        QCOMPARE(rows.size(), qsizetype(std::size(expected)));
        for (const auto& [name, state] : expected)
            QCOMPARE(stateOf(byName(rows, name)), state);
        for (const AutostartEntry& row : rows) {
            QCOMPARE(row.tag, dir + row.name);
            QVERIFY(row.rowKey.isEmpty());
        }
        lister.mark(dir + "hidden.lnk", false);
        QVERIFY(byName(lister.category("LOCAL USER"), "hidden.lnk")->active);
    }

    void categoriesListTheirPlacesInOrder() {
        const QByteArray one = "\"a\"=\"x\"\n";
        TempPrefix prefix(TempPrefix::runSection(one) + TempPrefix::runSection(one, "RunOnce"),
                          TempPrefix::userProfileBody() + TempPrefix::runSection(one) +
                              TempPrefix::runSection(one, "RunOnce"));
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/user.exe", "MZ"));
        QVERIFY(prefix.writeFile(prefix.commonStartupFolder() + "/common.exe", "MZ"));
        const Lister lister(prefix);

        // Every place once, in their fixed order, and a category of each side lists only its own.
        const QList<AutostartEntry> all = lister.category("ALL");
        QCOMPARE(kindsOf(all),
                 (QStringList{"LURun", "LURunOnce", "AURun", "AURunOnce", "SMAllUsr", "SMLocalUsr"}));
        QCOMPARE(kindsOf(lister.category("LOCAL USER REG")), (QStringList{"LURun", "LURunOnce"}));
        QCOMPARE(kindsOf(lister.category("STARTMENU")), (QStringList{"SMAllUsr", "SMLocalUsr"}));
        QCOMPARE(stateOf(&all[4]).section('\\', -1), QString("common.exe|AV"));
        QCOMPARE(stateOf(&all[5]).section('\\', -1), QString("user.exe|AV"));
        for (const char* key : {"SERVICES", "all", "UNKNOWN"})
            QVERIFY2(lister.category(key).isEmpty(), key);

        // What one listing read of the folders is not kept for the next: a new program counts.
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/later.exe", "MZ"));
        const AutostartEntry* later = byName(lister.category("LOCAL USER"), "later.exe");
        QVERIFY(later && later->valid);
    }

    // A long listing comes in from the event loop: the row to reselect and the check list wait for
    // the places still to list, and the whole listing matches the one made at once.
    void listerTakesLongListingsInTurns() {
        QByteArray many;
        for (int i = 0; i < 600; ++i)
            many += QStringLiteral("\"Run%1\"=\"C:\\\\t%1.exe\"\n").arg(i).toUtf8();
        TempPrefix prefix(TempPrefix::runSection("\"Late\"=\"C:\\\\late.exe\"\n", "RunOnce"),
                          TempPrefix::runSection(many));
        const Lister context(prefix);
        QTemporaryDir dir;
        const QString checkList = dir.filePath("Check.dat");
        AutostartEntry named;
        named.program = "C:\\late.exe";
        QVERIFY(writeCheckList(checkList, {named}));

        EntryLister lister(context.platform, context.texts);
        QSignalSpy kept(&lister, &EntryLister::keptRowListed);
        QSignalSpy finished(&lister, &EntryLister::listingFinished);
        lister.listNow("ALL");
        const QList<AutostartEntry> atOnce = lister.rows();
        AutostartEntry late = atOnce.last();
        QCOMPARE(late.name, QString("Late"));

        lister.start("ALL");
        QVERIFY(lister.isListing());
        QCOMPARE(lister.rows().size(), 600); // the user's Run key; the machine's keys wait their turn
        lister.keepRow(late);
        lister.ghostRowsMissingFrom(checkList);
        QVERIFY(kept.isEmpty() && !lister.rows().first().ghosted);
        QTRY_VERIFY(!lister.isListing());
        QCOMPARE(finished.size(), 2);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0][0].value<qsizetype>(), qsizetype(600));
        QCOMPARE(lister.rows().size(), atOnce.size());
        QVERIFY(lister.rows().first().ghosted && !lister.rows().last().ghosted);
        for (qsizetype i = 0; i < atOnce.size(); ++i)
            QCOMPARE(lister.rows()[i].tag + lister.rows()[i].name, atOnce[i].tag + atOnce[i].name);
    }

    // The list a shutdown writes un-ghosts, at the next start, one row per line: a program that two
    // rows start needs two lines.
    void checkListGhostsWhatIsNewSinceTheLastExit() {
        QTemporaryDir dir;
        const auto rows = [](const QStringList& programs) {
            QList<AutostartEntry> list(programs.size());
            for (qsizetype i = 0; i < programs.size(); ++i)
                list[i].program = programs[i];
            return list;
        };
        const QString path = dir.filePath("Check.dat");
        const QString huge(200000, QLatin1Char('x'));
        QVERIFY(writeCheckList(path, rows({"C:\\a.exe /x", "C:\\M\u00fcller\\b.exe", "same", "same", huge})));
        QVERIFY(
            test::fileBytes(path).startsWith("C:\\a.exe /x\r\nC:\\M\xc3\xbcller\\b.exe\r\nsame\r\nsame\r\n"));

        QList<AutostartEntry> next =
            rows({"c:\\A.EXE /X", "C:\\new.exe", "C:\\m\u00fcller\\b.exe", "same", "same", "same", huge});
        applyCheckList(*readCheckList(path), next);
        QStringList ghosted;
        for (const AutostartEntry& row : next)
            ghosted << (row.ghosted ? "G" : "-");
        // Case does not matter; the third row of "same" is the one new since.
        QCOMPARE(ghosted.join(""), QString("-G---G-"));

        // No list ghosts nothing; a folder that cannot be written keeps the old list whole.
        QVERIFY(!readCheckList(dir.filePath("missing.dat")));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFile(dir.filePath("probe")).open(QIODevice::WriteOnly))
            QSKIP("running with rights that ignore folder permissions");
        QVERIFY(!writeCheckList(path, rows({"replaced"})));
        QVERIFY(test::fileBytes(path).endsWith(huge.toUtf8() + "\r\n"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(ListingTest)
#include "listing_test.moc"
