// The command-line front end, run as a program on throwaway prefixes.
#include "cli_copy.h"
#include "temp_prefix.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using sw::test::CliResult;
using sw::test::TempPrefix;

namespace {

QByteArray runSection(const QString& key, const QByteArray& lines) {
    return TempPrefix::runSection(lines, key);
}

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

    static void verifyUsageError(const CliResult& result) {
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.endsWith('\n') && result.err.count('\n') == 1, result.err.constData());
    }

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void listsAllPlacesAsTabSeparatedLines() {
        TempPrefix prefix(runSection("Run", "\"machine\"=\"C:\\\\windows\\\\tool.exe /x\"\n"),
                          TempPrefix::userProfileBody() +
                              runSection("Run", "\"off\"=\"rem C:\\\\gone.exe\"\n\"tab\"=\"a\\tb\"\n") +
                              runSection("RunOnce", "\"Caf\\xe9\"=\"\\\"C:\\\\windows\\\\tool.exe\\\"\"\n"));
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
        TempPrefix prefix({}, runSection("Run",
                                         "\"a \\\"quoted\\\" name\"=\"REM \\\"C:\\\\x y\\\\z.exe\\\" -q\"\n"
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
        TempPrefix prefix(runSection("Run",
                                     "\"Menus\"=\"C:\\\\windows\\\\system32\\\\winemenubuilder.exe -a -r\"\n"
                                     "\"Own\"=\"C:\\\\windows\\\\own.exe\"\n"
                                     "\"Gone\"=\"C:\\\\nowhere.exe\"\n"));
        QVERIFY(QFile::copy(sw::test::fixture("app_x86_64.exe"),
                            prefix.hostPath("drive_c/windows/system32/winemenubuilder.exe")));
        QVERIFY(QFile::copy(sw::test::fixture("app_x86_64.exe"), prefix.hostPath("drive_c/windows/own.exe")));
        const CliResult text = m_cli.run({"--prefix", prefix.path(), "info", "ALL RUN"});
        QCOMPARE(text.exitCode, 0);
        const QList<QStringList> lines = linesOf(text.out);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].size(), 12);
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
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
