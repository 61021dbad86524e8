// The command-line front end, run as a program on throwaway prefixes: the listings, and what the write
// commands (disable, enable, delete, add, edit, restore, purge) say and the statuses they end with. What
// they write is the entry actions', the add/edit dialog's and the backups' test.
#include "cli_copy.h"
#include "entries/places.h"
#include "platform/registry_store.h"
#include "server_lock.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using sw::test::CliResult;
using sw::test::TempPrefix;

namespace {

QList<QStringList> linesOf(const QByteArray& out) {
    QList<QStringList> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            lines << QString::fromUtf8(line).split(QLatin1Char('\t'));
    return lines;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;

    static bool oneLine(const QByteArray& text) { return text.endsWith('\n') && text.count('\n') == 1; }

    static void verifyUsageError(const CliResult& result) {
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(oneLine(result.err), result.err.constData());
    }

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void listsAllPlacesAsTabSeparatedLines() {
        TempPrefix prefix(
            TempPrefix::runSection("\"machine\"=\"C:\\\\windows\\\\tool.exe /x\"\n"),
            TempPrefix::userProfileBody() +
                TempPrefix::runSection("\"off\"=\"rem C:\\\\gone.exe\"\n\"tab\"=\"a\\tb\"\n") +
                TempPrefix::runSection("\"Caf\\xe9\"=\"\\\"C:\\\\windows\\\\tool.exe\\\"\"\n", "RunOnce"));
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/B\u00fcro.exe", "MZ"));

        const CliResult result = m_cli.run({"--prefix", prefix.path(), "list"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        const QList<QStringList> lines = linesOf(result.out);
        QCOMPARE(lines.size(), 5);
        for (const QStringList& line : lines)
            QCOMPARE(line.size(), 7);
        // Name, program, valid, active, place, tag and whether the row is new (no check list in a
        // fresh copy: nothing is); a tab in a program keeps the row on one line.
        const QString user = "-2147483647;Software\\Microsoft\\Windows\\CurrentVersion\\";
        QCOMPARE(lines[0],
                 QStringList({"off", "C:\\gone.exe", "No", "No", "Run (current user)", user + "Run", ""}));
        QCOMPARE(lines[1][1], QString("a b"));
        QStringList names, places;
        for (const QStringList& line : lines) {
            names << line[0];
            places << line[4];
        }
        QCOMPARE(names, QStringList({"off", "tab", "Caf\u00e9", "machine", "B\u00fcro.exe"}));
        QCOMPARE(places.mid(2),
                 QStringList({"RunOnce (current user)", "Run (all users)", "Startup folder (current user)"}));
        QCOMPARE(lines[3][5], QString("-2147483646;Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
        QVERIFY(lines[4][1].endsWith("\\Startup\\B\u00fcro.exe", Qt::CaseInsensitive));
        QCOMPARE(lines[4][5], lines[4][1]);

        // A category narrows the listing; options may also follow the command.
        const CliResult machine = m_cli.run({"list", "ALL RUN", "--prefix", prefix.path()});
        QCOMPARE(machine.exitCode, 0);
        QCOMPARE(linesOf(machine.out).size(), 1);
        QCOMPARE(linesOf(machine.out)[0][0], QString("machine"));
    }

    void jsonHoldsTheSameRows() {
        TempPrefix prefix(
            {}, TempPrefix::runSection("\"a \\\"quoted\\\" name\"=\"REM \\\"C:\\\\x y\\\\z.exe\\\" -q\"\n"
                                       "\"b\"=\"\"\n"));
        const CliResult result = m_cli.run({"--prefix", prefix.path(), "list", "LOCAL RUN", "--json"});
        QCOMPARE(result.exitCode, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonArray rows = document.array();
        QCOMPARE(rows.size(), 2);
        QJsonObject first = rows[0].toObject();
        QVERIFY(first["ghosted"].isBool());
        first.remove("ghosted");
        QCOMPARE(first,
                 QJsonObject({{"name", "a \"quoted\" name"},
                              {"program", "\"C:\\x y\\z.exe\" -q"},
                              {"valid", false},
                              {"active", false},
                              {"place", "Run (current user)"},
                              {"tag", "-2147483647;Software\\Microsoft\\Windows\\CurrentVersion\\Run"}}));

        const CliResult empty = m_cli.run({"--prefix", prefix.path(), "list", "ALL RUNONCE", "--json"});
        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(empty.out), QJsonDocument(QJsonArray()));
    }

    void badArgumentsGiveOneLineAndStatusTwo() {
        TempPrefix prefix;
        QTemporaryDir notPrefix;
        QVERIFY(QFile(notPrefix.filePath("user.reg")).open(QIODevice::WriteOnly));
        verifyUsageError(m_cli.run({"--prefix", m_cli.home() + "/missing", "list"}));
        verifyUsageError(m_cli.run({"--prefix", notPrefix.path(), "list"}));
        verifyUsageError(m_cli.run({"--prefix", prefix.path(), "list", "all"}));
        verifyUsageError(m_cli.run({"--prefix", prefix.path()}));
        verifyUsageError(m_cli.run({"--prefix", prefix.path(), "list", "LOCAL", "RUN"}));
        verifyUsageError(m_cli.run({"--prefix", prefix.path(), "list", "--bogus"}));
        verifyUsageError(m_cli.run({"list", "--prefix"}));
        // Without --prefix and WINEPREFIX the home's ~/.wine is taken, which does not exist here.
        verifyUsageError(m_cli.run({"list"}));
        // Nothing was created in the folders that are not prefixes.
        QVERIFY(!QFile::exists(m_cli.home() + "/missing"));
        QVERIFY(!QFile::exists(m_cli.home() + "/.wine"));
        QVERIFY(!QFile::exists(notPrefix.filePath("system.reg")));
    }

    // The shipped database rates Wine's menu builder; a program of our own is unknown to it.
    void infoRatesEveryRowAgainstTheShippedDatabase() {
        TempPrefix prefix(
            TempPrefix::runSection("\"Menus\"=\"C:\\\\windows\\\\system32\\\\winemenubuilder.exe -a -r\"\n"
                                   "\"Own\"=\"C:\\\\windows\\\\own.exe\"\n"
                                   "\"Gone\"=\"C:\\\\nowhere.exe\"\n"));
        QVERIFY(QFile::copy(sw::test::fixture("app_x86_64.exe"),
                            prefix.hostPath("drive_c/windows/system32/winemenubuilder.exe")));
        QVERIFY(QFile::copy(sw::test::fixture("app_x86_64.exe"), prefix.hostPath("drive_c/windows/own.exe")));
        const CliResult text = m_cli.run({"--prefix", prefix.path(), "info", "ALL RUN"});
        QCOMPARE(text.exitCode, 0);
        const QList<QStringList> lines = linesOf(text.out);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].size(), 13);
        QCOMPARE(lines[0][12], QStringLiteral("boot"));
        QCOMPARE(lines[0][7], QStringLiteral("normal"));
        QVERIFY(lines[0][10].contains("menu", Qt::CaseInsensitive));
        QVERIFY(lines[0][11].contains(";https://"));
        QCOMPARE(lines[1][7], QStringLiteral("unknown"));
        QVERIFY(lines[1][8].startsWith("own.exe ("));
        QCOMPARE(lines[2][7], QStringLiteral("missing"));

        const CliResult json = m_cli.run({"--prefix", prefix.path(), "--json", "info", "ALL RUN"});
        const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toObject()["rating"].toString(), QStringLiteral("normal"));
        QVERIFY(!rows[0].toObject()["links"].toArray().isEmpty());
        QCOMPARE(rows[0].toObject()["name"].toString(), QStringLiteral("Menus"));
        QCOMPARE(rows[0].toObject()["starts"].toString(), QStringLiteral("boot"));
    }

    // Wine walks each key backwards, the services and the machine's RunOnce keys (both views) first, and
    // runs no deactivated or expandable value; a run of the stopped prefix's Wine would use up the
    // RunOnce entries, so run refuses and names them.
    void bootPrintsWhatWineRunsInItsOrder() {
        const QByteArray wow = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
        TempPrefix prefix(
            TempPrefix::runSection(
                "\"A\"=\"a.exe\"\n\"B\"=\"b.exe\"\n\"Exp\"=str(2):\"x.exe\"\n\"Off\"=\"REM c.exe\"\n") +
                TempPrefix::runSection("\"Once\"=\"o.exe\"\n", "RunOnce") +
                TempPrefix::runSection("\"Svc\"=\"s.exe\"\n", "RunServices") +
                TempPrefix::section(QString::fromLatin1(wow + "Run"), "\"Launcher32\"=\"l.exe\"\n") +
                TempPrefix::section(QString::fromLatin1(wow + "RunOnce"), "\"Once32\"=\"p.exe\"\n"),
            TempPrefix::runSection("\"Mine\"=\"m.exe\"\n") +
                TempPrefix::runSection("\"MyOnce\"=\"n.exe\"\n", "RunOnce"));
        const CliResult text = m_cli.run({"--prefix", prefix.path(), "boot"});
        QCOMPARE(text.exitCode, 0);
        QStringList order;
        for (const QStringList& line : linesOf(text.out))
            order << line[0] + ':' + line[1] + ':' + line[5];
        QCOMPARE(order, QStringList({"start:Svc:start", "start:Once:start-once", "start:Once32:start-once",
                                     "wineboot:Svc:start", "wineboot:Once:start-once",
                                     "wineboot:Once32:start-once", "wineboot:B:boot", "wineboot:A:boot",
                                     "wineboot:Launcher32:boot", "wineboot:Mine:boot"}));
        const QJsonObject json =
            QJsonDocument::fromJson(m_cli.run({"--prefix", prefix.path(), "boot", "--json"}).out).object();
        QCOMPARE(json["start"].toArray().size(), 3);
        QCOMPARE(json["wineboot"].toArray()[5].toObject()["place"].toString(),
                 QStringLiteral("Run (all users, 32-bit)"));

        const CliResult run = m_cli.run({"--prefix", prefix.path(), "run", "Mine", "--yes"});
        QCOMPARE(run.exitCode, 5);
        QVERIFY2(run.err.contains("Once (RunOnce (all users))") && run.err.contains("Once32 (") &&
                     run.err.contains("--consume-runonce") && run.out.isEmpty(),
                 run.err.constData());

        // A 32-bit prefix has no 32-bit view: Wine never reads Wow6432Node there.
        QVERIFY(prefix.writeFile("system.reg",
                                 prefix.readFile("system.reg").replace("#arch=win64", "#arch=win32")));
        const QJsonArray win32 =
            QJsonDocument::fromJson(m_cli.run({"--prefix", prefix.path(), "boot", "--json"}).out)
                .object()["wineboot"]
                .toArray();
        QCOMPARE(win32.size(), 5);
        for (const QJsonValue& row : win32)
            QVERIFY(!row.toObject()["name"].toString().endsWith("32"));
    }

    void changesStateOnlyWhenAskedAndTellsWhereBackupsGo() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::runSection("\"Tool\"=\"C:\\\\tool.exe /x\"\n"));
        const CliResult off = m_cli.run({"--prefix", prefix.path(), "disable", "Tool", "--yes"});
        QCOMPARE(off.exitCode, 0);
        QVERIFY2(off.err.isEmpty(), off.err.constData());
        QVERIFY(oneLine(off.out) && off.out.contains("inactive"));
        QVERIFY(prefix.readFile("user.reg").contains("\"Tool\"=\"REM C:\\\\tool.exe /x\""));

        // already so: a note, no write, no question
        const QByteArray disabled = prefix.readFile("user.reg");
        const CliResult again = m_cli.run({"--prefix", prefix.path(), "disable", "Tool"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(oneLine(again.out) && again.out.contains("already"));
        QCOMPARE(prefix.readFile("user.reg"), disabled);

        // the question is answered on the standard input; anything but yes keeps the entry
        for (const QByteArray& answer : {QByteArray("n\n"), QByteArray("\n"), QByteArray()}) {
            const CliResult no = m_cli.run({"--prefix", prefix.path(), "enable", "Tool"}, answer);
            QCOMPARE(no.exitCode, 5);
            QVERIFY(no.err.contains("Tool"));
            QCOMPARE(prefix.readFile("user.reg"), disabled);
        }
        const CliResult yes = m_cli.run({"--prefix", prefix.path(), "enable", "tool"}, "Yes\n");
        QCOMPARE(yes.exitCode, 0);
        QVERIFY(prefix.readFile("user.reg").contains("\"Tool\"=\"C:\\\\tool.exe /x\""));

        // a delete tells where the backup went
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/Tool.lnk", "link"));
        const CliResult value =
            m_cli.run({"--prefix", prefix.path(), "delete", "Tool", "--place", "LOCAL RUN", "--yes"});
        QCOMPARE(value.exitCode, 0);
        QVERIFY(oneLine(value.out));
        QVERIFY2(value.out.contains(
                     "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\"
                     "Backups\\HKEY_CU\\Run"),
                 value.out.constData());

        const QString copy = prefix.backupFolder("Local User") + "/Tool.lnk";
        const CliResult file = m_cli.run({"--prefix", prefix.path(), "delete", "Tool.lnk"}, "y\n");
        QCOMPARE(file.exitCode, 0);
        QVERIFY2(file.out.contains(copy.toUtf8()) && QFile::exists(copy), file.out.constData());
    }

    void failsWithTheDocumentedStatuses() {
        TempPrefix prefix(TempPrefix::runSection("\"Twice\"=\"C:\\\\m.exe\"\n\"Machine\"=\"C:\\\\m.exe\"\n"),
                          TempPrefix::userProfileBody() +
                              TempPrefix::runSection("\"Twice\"=\"C:\\\\u.exe\"\n"));
        const QStringList at{"--prefix", prefix.path()};

        const CliResult missing = m_cli.run(at + QStringList{"disable", "Nobody", "--yes"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(oneLine(missing.err) && missing.out.isEmpty());
        const CliResult ambiguous = m_cli.run(at + QStringList{"disable", "Twice", "--yes"});
        QCOMPARE(ambiguous.exitCode, 1);
        QVERIFY2(ambiguous.err.contains("LOCAL RUN") && ambiguous.err.contains("ALL RUN"),
                 ambiguous.err.constData());
        QCOMPARE(m_cli.run(at + QStringList{"disable", "Twice", "--place", "ALL RUN", "--yes"}).exitCode, 0);
        QVERIFY(prefix.readFile("system.reg").contains("\"Twice\"=\"REM C:\\\\m.exe\""));
        QVERIFY(prefix.readFile("user.reg").contains("\"Twice\"=\"C:\\\\u.exe\""));

        for (const QStringList& bad : {QStringList{"disable"}, QStringList{"delete", "a", "b"},
                                       QStringList{"enable", "Twice", "--place", "NOWHERE"}})
            verifyUsageError(m_cli.run(at + bad));

        // that nothing changes in these cases is the actions' own test; here, what the command says
        {
            sw::test::HeldServerLock server(prefix.path());
            QVERIFY(server.locked());
            const CliResult refused = m_cli.run(at + QStringList{"delete", "Machine", "--yes"});
            QCOMPARE(refused.exitCode, 3);
            QVERIFY2(oneLine(refused.err) && refused.err.contains("Wine"), refused.err.constData());
        }
        QVERIFY(QFile::setPermissions(prefix.hostPath("system.reg"), QFile::ReadOwner));
        const CliResult readOnly = m_cli.run(at + QStringList{"disable", "Machine", "--yes"});
        QCOMPARE(readOnly.exitCode, 4);
        QVERIFY2(oneLine(readOnly.err) && readOnly.err.contains("read-only"), readOnly.err.constData());
    }

    void addAndEditSayWhatTheyRefuse() {
        TempPrefix prefix(TempPrefix::runSection("\"Number\"=dword:00000001\n"),
                          TempPrefix::userProfileBody() +
                              TempPrefix::runSection("\"Tray\"=\"rem C:\\\\Tools\\\\tray.exe /quiet\"\n"));
        QVERIFY(prefix.writeFile("drive_c/Tools/tray.exe", "MZ"));
        const auto cli = [&](const QStringList& arguments) {
            return m_cli.run(QStringList{"--prefix", prefix.path()} + arguments).exitCode;
        };
        const auto rows = [&](const QString& category) {
            QStringList found;
            const QString out =
                QString::fromUtf8(m_cli.run({"--prefix", prefix.path(), "list", category}).out);
            for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
                found.append(line.section('\t', 0, 1));
            return found;
        };
        // A missing program or entry (1); a bad place, file name or argument list (2); nothing written.
        const QByteArray user = prefix.readFile("user.reg");
        QCOMPARE(cli({"add", "Gone", "--program", "C:\\Tools\\gone.exe", "--place", "LOCAL RUN"}), 1);
        QCOMPARE(cli({"add", "X", "--program", "C:\\Tools\\tray.exe", "--place", "RUN"}), 2);
        QCOMPARE(cli({"add", "a:b", "--program", "C:\\Tools\\tray.exe", "--place", "ALL USERS"}), 2);
        QCOMPARE(cli({"add", "X", "--place", "LOCAL RUN"}), 2);
        QCOMPARE(cli({"edit", "Tray", "--program", "C:\\nowhere.exe"}), 1);
        QCOMPARE(cli({"edit", "Nothing", "--name", "Else"}), 1);
        QCOMPARE(cli({"edit", "Tray", "--to", "EVERYWHERE"}), 2);
        QCOMPARE(prefix.readFile("user.reg"), user);
        QCOMPARE(QDir(prefix.commonStartupFolder()).entryList(QDir::Files), QStringList());

        // Fields not named keep their values; --to moves the entry.
        QCOMPARE(cli({"add", "Big", "--program", "C:\\Tools\\tray.exe --big", "--place", "ALL RUNONCE"}), 0);
        QCOMPARE(rows("ALL RUNONCE"), QStringList{"Big\tC:\\Tools\\tray.exe --big"});
        QCOMPARE(cli({"edit", "tray", "--name", "Tray Icon"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList{"Tray Icon\tC:\\Tools\\tray.exe /quiet"});
        QCOMPARE(cli({"edit", "Tray Icon", "--place", "LOCAL RUN", "--to", "ALL USERS"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList());
        QCOMPARE(rows("ALL USERS"), QStringList{"Tray Icon.lnk\tC:\\Tools\\tray.exe"});

        // An entry of the same name in the target place stays unless --replace is given; then it is
        // backed up first, and the command says where.
        const QStringList addBig{"--prefix",  prefix.path(),         "add",     "big",
                                 "--program", "C:\\Tools\\tray.exe", "--place", "ALL RUNONCE"};
        const CliResult taken = m_cli.run(addBig);
        QCOMPARE(taken.exitCode, 1);
        QVERIFY2(oneLine(taken.err) && taken.err.contains("--replace"), taken.err.constData());
        QCOMPARE(rows("ALL RUNONCE"), QStringList{"Big\tC:\\Tools\\tray.exe --big"});
        const CliResult replaced = m_cli.run(addBig + QStringList{"--replace"});
        QCOMPARE(replaced.exitCode, 0);
        QVERIFY2(oneLine(replaced.out) && replaced.out.contains("Backups\\HKEY_LM\\RunOnce"),
                 replaced.out.constData());
        QCOMPARE(rows("ALL RUNONCE").value(0).section('\t', 1), QStringLiteral("C:\\Tools\\tray.exe"));
        QCOMPARE(cli({"add", "Tray Icon", "--program", "C:\\Tools\\tray.exe", "--place", "LOCAL RUN"}), 0);
        QCOMPARE(cli({"edit", "Tray Icon.lnk", "--name", "Tray Icon", "--to", "LOCAL RUN"}), 1);
        QCOMPARE(rows("ALL USERS"), QStringList{"Tray Icon.lnk\tC:\\Tools\\tray.exe"});
        QCOMPARE(cli({"edit", "Tray Icon.lnk", "--name", "Tray Icon", "--to", "LOCAL RUN", "--replace"}), 0);
        QCOMPARE(rows("ALL USERS"), QStringList());

        // A batch file is renamed as itself; its program stays; a value without text is refused.
        QVERIFY(prefix.writeFile(prefix.userStartupFolder() + "/run.bat", "@echo off"));
        QCOMPARE(cli({"edit", "run.bat", "--name", "Runner"}), 0);
        QCOMPARE(prefix.readFile(prefix.userStartupFolder() + "/Runner.bat"), QByteArray("@echo off"));
        const CliResult fixedProgram =
            m_cli.run({"--prefix", prefix.path(), "edit", "Runner.bat", "--program", "C:\\Tools\\tray.exe"});
        QCOMPARE(fixedProgram.exitCode, 2);
        QVERIFY2(oneLine(fixedProgram.err) && fixedProgram.err.contains("not a shortcut"),
                 fixedProgram.err.constData());
        const QByteArray machine = prefix.readFile("system.reg");
        for (const QStringList& change : {QStringList{"disable", "Number"}, QStringList{"enable", "Number"},
                                          QStringList{"edit", "Number", "--name", "N"}}) {
            const CliResult refused = m_cli.run(QStringList{"--prefix", prefix.path()} + change);
            QCOMPARE(refused.exitCode, 4);
            QVERIFY2(oneLine(refused.err) && refused.err.contains("holds no text"), refused.err.constData());
        }
        QCOMPARE(prefix.readFile("system.reg"), machine);
    }

    void backupsArePickedByNameAndGroup() {
        TempPrefix prefix({},
                          TempPrefix::userProfileBody() +
                              TempPrefix::backupSection("HKEY_CU\\Run", "\"Same\"=\"C:\\\\user.exe\"\n") +
                              TempPrefix::backupSection("HKEY_LM\\Run", "\"Same\"=\"C:\\\\machine.exe\"\n"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "backups"}).exitCode, 0); // makes the places
        QVERIFY(QFile::copy(sw::test::fixture("wine_created.lnk"),
                            prefix.backupFolder("All Users") + "/Tool.lnk"));

        const CliResult listed = m_cli.run({"--prefix", prefix.path(), "backups"});
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.err.isEmpty(), listed.err.constData());
        const QList<QByteArray> lines = listed.out.split('\n');
        QCOMPARE(lines.size(), 4); // the last line ends too
        QCOMPARE(lines[0], "Tool.lnk\tC:\\Program Files\\Tool\\tool.exe\tSMAllUsr\t\t" +
                               QFile::encodeName(prefix.backupFolder("All Users")) + "/Tool.lnk\t");
        QCOMPARE(QString::fromUtf8(lines[2]), "Same\tC:\\machine.exe\tAURun\tSame" + sw::kBackupKey +
                                                  "\\HKEY_LM\\Run\t-2147483647;" + sw::kBackupKey +
                                                  "\\HKEY_LM\\Run\t");
        const QJsonArray json =
            QJsonDocument::fromJson(m_cli.run({"--prefix", prefix.path(), "backups", "--json"}).out).array();
        QCOMPARE(json[1].toObject()["group"].toString(), QStringLiteral("LURun"));
        QCOMPARE(json[1].toObject()["shared"], QJsonValue(false));

        // A name in two groups needs --group; not confirmed, nothing changes.
        const CliResult ambiguous = m_cli.run({"--prefix", prefix.path(), "restore", "Same", "--yes"});
        QCOMPARE(ambiguous.exitCode, 1);
        QVERIFY(ambiguous.err.contains("--group"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "purge", "Same", "--group", "Run"}).exitCode, 2);
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "restore", "same", "--group", "AURun"}).exitCode, 5);
        QCOMPARE(prefix.value(sw::kHkeyLocalMachine, sw::test::kRunKey, "Same"), QStringLiteral("<none>"));

        QCOMPARE(
            m_cli.run({"--prefix", prefix.path(), "restore", "same", "--group", "AURun", "--yes"}).exitCode,
            0);
        QCOMPARE(prefix.value(sw::kHkeyLocalMachine, sw::test::kRunKey, "Same"),
                 QStringLiteral("C:\\machine.exe"));
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "purge", "Same", "--yes"}).exitCode, 0);
        QCOMPARE(prefix.value(sw::kHkeyCurrentUser, sw::test::kRunKey, "Same"), QStringLiteral("<none>"));

        // A failing copy leaves the backup and says so.
        QVERIFY(QDir(prefix.commonStartupFolder()).removeRecursively());
        const CliResult failed = m_cli.run({"--prefix", prefix.path(), "restore", "Tool.lnk", "--yes"});
        QCOMPARE(failed.exitCode, 4);
        QVERIFY(failed.err.contains("still kept"));
        QVERIFY(QFile::exists(prefix.backupFolder("All Users") + "/Tool.lnk"));
    }

    // Two prefixes of one home: each restores its own entry, never the other's; a restore onto an entry
    // of the same name is refused unless asked for, and then keeps the replaced entry as a backup.
    void eachPrefixKeepsItsOwnBackups() {
        TempPrefix a({}, TempPrefix::userProfileBody()), b({}, TempPrefix::userProfileBody());
        const auto cli = [&](const TempPrefix& prefix, const QStringList& arguments) {
            return m_cli.run(QStringList{"--prefix", prefix.path()} + arguments);
        };
        const auto add = [&](const TempPrefix& prefix, const char* program) {
            QVERIFY(prefix.writeFile(QStringLiteral("drive_c/windows/") + program, "MZ"));
            QCOMPARE(cli(prefix, {"add", "Tool.lnk", "--program", QStringLiteral("C:\\windows\\") + program,
                                  "--place", "LOCAL USER"})
                         .exitCode,
                     0);
        };
        const auto rows = [&](const TempPrefix& prefix, const QStringList& command) {
            QStringList found;
            for (const QStringList& line : linesOf(cli(prefix, command).out))
                found << line[0] + '=' + line[1];
            return found;
        };
        add(a, "notepad.exe");
        add(b, "regedit.exe");
        QCOMPARE(cli(a, {"delete", "Tool.lnk", "--yes"}).exitCode, 0);
        QCOMPARE(cli(b, {"delete", "Tool.lnk", "--yes"}).exitCode, 0);
        QCOMPARE(cli(a, {"restore", "Tool.lnk", "--yes"}).exitCode, 0);
        QCOMPARE(rows(a, {"list", "LOCAL USER"}), QStringList{"Tool.lnk=C:\\windows\\notepad.exe"});
        QCOMPARE(rows(a, {"backups"}), QStringList());
        QCOMPARE(rows(b, {"backups"}), QStringList{"Tool.lnk=C:\\windows\\regedit.exe"});
        QVERIFY(QFile::exists(b.backupFolder("Local User") + "/Tool.lnk"));

        add(b, "notepad.exe");
        const CliResult refused = cli(b, {"restore", "Tool.lnk", "--yes"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(oneLine(refused.err) && refused.err.contains("--replace"), refused.err.constData());
        QCOMPARE(rows(b, {"list", "LOCAL USER"}), QStringList{"Tool.lnk=C:\\windows\\notepad.exe"});
        QCOMPARE(cli(b, {"restore", "Tool.lnk", "--yes", "--replace"}).exitCode, 0);
        QCOMPARE(rows(b, {"list", "LOCAL USER"}), QStringList{"Tool.lnk=C:\\windows\\regedit.exe"});
        QCOMPARE(rows(b, {"backups"}), QStringList{"Tool (2).lnk=C:\\windows\\notepad.exe"});

        // What an earlier version kept for every prefix is listed in each, marked, until one takes it.
        QVERIFY(QDir().mkpath(m_cli.sharedBackupFolder("Local User")));
        QVERIFY(QFile::copy(sw::test::fixture("wine_created.lnk"),
                            m_cli.sharedBackupFolder("Local User") + "/Old.lnk"));
        for (const TempPrefix* prefix : {&a, &b}) {
            const QList<QStringList> shared = linesOf(cli(*prefix, {"backups"}).out);
            QCOMPARE(shared.last().first(), QStringLiteral("Old.lnk"));
            QCOMPARE(shared.last().last(), QStringLiteral("shared"));
        }
        const QJsonArray json = QJsonDocument::fromJson(cli(a, {"backups", "--json"}).out).array();
        QCOMPARE(json.size(), 1);
        QCOMPARE(json[0].toObject()["shared"], QJsonValue(true));
        QCOMPARE(cli(a, {"restore", "Old.lnk", "--yes"}).exitCode, 0);
        QVERIFY(QFile::exists(a.userStartupFolder() + "/Old.lnk"));
        QCOMPARE(rows(b, {"backups"}), QStringList{"Tool (2).lnk=C:\\windows\\notepad.exe"});
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
