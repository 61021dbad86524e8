// startwarden-reports as a maintainer runs it (reports sent by the program's own client, requests
// that are no reports, the export that becomes database records) and startwarden-cli report.
#include "cli_copy.h"
#include "db_source.h"
#include "receiver_process.h"
#include "report/report_request.h"
#include "report/send_report.h"
#include "report_store.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTcpSocket>

using namespace sw;
using sw::test::CliResult;
using sw::test::ReceiverProcess;
using sw::test::TempPrefix;

namespace {

// One request written as it stands; the status line of the answer, or empty when none came.
QByteArray statusOf(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(request);
    QByteArray answer;
    while (!answer.contains("\r\n") && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    return answer.left(answer.indexOf("\r\n"));
}

QList<reports::StoredReport> storedIn(const ReceiverProcess& receiver) {
    return reports::ReportStore(receiver.database()).mostReported(100);
}

const QByteArray kUserRun = TempPrefix::runSection("\"T\\xfcr & Tor\"=\"C:\\\\Tools\\\\tool.exe /a b&c\"\n"
                                                   "\"Gone\"=\"C:\\\\Tools\\\\missing.exe\"\n");

} // namespace

class ReportTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;
    TempPrefix m_prefix{{}, kUserRun};

    void setReportHost(const QString& host) const {
        QSettings settings(m_cli.home() + "/config/Tidyra/Tidyra.conf", QSettings::IniFormat);
        settings.setValue("Settings/ReportHost", host);
    }

    // The output trimmed, as one text.
    CliResult run(const QStringList& arguments) const {
        CliResult result = m_cli.run(QStringList{"--prefix", m_prefix.path()} + arguments);
        result.out = result.out.trimmed();
        return result;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cli.isValid());
        QVERIFY(QDir().mkpath(m_prefix.hostPath("drive_c/Tools")));
        QVERIFY(
            QFile::copy(sw::test::fixture("app_x86_64.exe"), m_prefix.hostPath("drive_c/Tools/tool.exe")));
    }

    void dryRunPrintsTheAddressWithTheValuesAsTheyStand() {
        setReportHost("reports.example:8080");
        CliResult result = run({"report", "Tür & Tor", "--notice", "a b&c", "--dry-run"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(
            result.out.startsWith("http://reports.example:8080/_system/tidyra_startwarden.php?name=Tür & Tor"
                                  "&program=C:\\Tools\\tool.exe /a b&c&firma=Example Tools Ltd.&ort=") &&
                result.out.endsWith("&details=a b&c"),
            result.out.constData());
        // A missing program has no company; no notice sends no details.
        result = run({"report", "Gone", "--dry-run"});
        QVERIFY2(result.out.contains("&firma=&ort=") && result.out.endsWith("&details="),
                 result.out.constData());
    }

    void sendsToTheReceiverAndSaysWhenNoneAnswers() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        setReportHost(receiver.host());
        const CliResult result =
            run({"report", "tür & tor", "--place", "LOCAL RUN", "--notice", "über 100%"});
        QVERIFY2(result.exitCode == 0, result.err.constData());
        const QByteArray drafts = receiver.exportDrafts();
        QVERIFY(drafts.contains("Entry \"Tür & Tor\"") && drafts.contains("# Notice: über 100%\n"));
        receiver.stop();
        QCOMPARE(run({"report", "Tür & Tor"}).exitCode, 6);
        // Without the sender beside the program, the report fails with a reason instead of a crash.
        const QString sender = QFileInfo(m_cli.program()).path() + "/startwarden-report-sender.so";
        QVERIFY(QFile::rename(sender, sender + ".away"));
        const CliResult missing = run({"report", "Tür & Tor"});
        QVERIFY(QFile::rename(sender + ".away", sender));
        QCOMPARE(missing.exitCode, 6);
        QVERIFY2(missing.err.contains("reports cannot be sent"), missing.err.constData());
    }

    void storesReportsAsSentCountsRepeatsAndExportsDrafts() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        const ReportFields tricky{QStringLiteral("Tür & Tor=1"),
                                  QStringLiteral("C:\\Tools\\tool.exe /a b&c 50% %41 #2+3"), QString(),
                                  QStringLiteral("LURun"), QStringLiteral("zeigt 100%ig & mehr\nZeile 2")};
        // The same program again, written otherwise and without details: counted, details kept.
        ReportFields again = tricky;
        again.program = tricky.program.toUpper();
        again.details.clear();
        const ReportFields other{QStringLiteral("Other"), QStringLiteral("\"C:\\My App\\x?[1].exe\" /tray"),
                                 QStringLiteral("Ö AG"), QStringLiteral("SMAllUsr"), QString()};
        for (const ReportFields& fields : {tricky, again, other})
            QVERIFY(SendReport(reportAddress(receiver.host(), fields), kDirectAccess));

        const QList<reports::StoredReport> stored = storedIn(receiver);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].count, 2);
        const reports::ReceivedReport& first = stored[0].report;
        QCOMPARE((QStringList{first.name, first.program, first.company, first.place, first.details}),
                 (QStringList{tricky.name, tricky.program, QString(), tricky.place, tricky.details}));
        QVERIFY(stored[0].rawQuery.endsWith("&details="));
        QCOMPARE(stored[1].report.company, other.company);

        // An unwritten draft is refused; written, both records parse with the patterns derived.
        const QString drafts = QString::fromUtf8(receiver.exportDrafts());
        dbcompiler::Diagnostics unwritten;
        dbcompiler::parseSource(QStringLiteral("drafts.db"), drafts, unwritten);
        QVERIFY(!unwritten.errors.isEmpty());
        QString written = drafts;
        written.replace(QStringLiteral("\nrisk = ?\n"), QStringLiteral("\nrisk = 0\n"));
        written.replace(QStringLiteral("\nen =\n"), QStringLiteral("\nen = Written.\n"));
        written.replace(QStringLiteral("\nde =\n"), QStringLiteral("\nde = Geschrieben.\n"));
        dbcompiler::Diagnostics diagnostics;
        const auto records = dbcompiler::parseSource(QStringLiteral("drafts.db"), written, diagnostics);
        QVERIFY2(diagnostics.errors.isEmpty(), qPrintable(diagnostics.errors.join('\n')));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].filePattern, QStringLiteral("TOOL.EXE*"));
        QCOMPARE(records[1].filePattern, QStringLiteral("X[?][[]1].EXE*"));
        QVERIFY(drafts.contains(QStringLiteral("# Notice: zeigt 100%ig & mehr Zeile 2\n")));
    }

    void refusesWhatIsNoReportAndStoresNothing() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        const QByteArray path = "/_system/tidyra_startwarden.php";
        const QByteArray valid = "?name=a&program=b.exe&firma=&ort=LURun&details=";
        const QByteArray tail = " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
        QVERIFY(statusOf(receiver.port(), "GET /other" + valid + tail).contains(" 404"));
        QVERIFY(statusOf(receiver.port(), "GET " + path + "?program=b.exe" + tail).contains(" 400"));
        QVERIFY(statusOf(receiver.port(), "POST " + path + valid + tail).contains(" 405"));
        QVERIFY(
            statusOf(receiver.port(), "GET " + path + valid + QByteArray(9000, 'x') + tail).contains(" 413"));
        QVERIFY(statusOf(receiver.port(), "GET " + path + valid + tail.chopped(2) +
                                              "X-Pad: " + QByteArray(9000, 'p') + "\r\n\r\n")
                    .contains(" 413"));
        // Damaged requests may be answered or dropped, but the server lives on.
        statusOf(receiver.port(), QByteArray("\0\xff GET \r\n\r\n", 12));
        statusOf(receiver.port(), "GET " + path + "?name=T\xfcr a&program=\xff&firma=&ort=&details=%" + tail);
        QVERIFY(storedIn(receiver).isEmpty());
        // Bytes outside ASCII, raw as UTF-8 or escaped in a Windows code page, read as the sender meant.
        QVERIFY(statusOf(receiver.port(),
                         "GET " + path + "?name=T\xc3\xbcr&program=c.exe&firma=&ort=&details=" + tail)
                    .contains(" 200"));
        QVERIFY(
            statusOf(receiver.port(), "GET " + path + "?name=T%FCr&program=d.exe&firma=&ort=&details=" + tail)
                .contains(" 200"));
        const QList<reports::StoredReport> stored = storedIn(receiver);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].report.name, QStringLiteral("Tür"));
        QCOMPARE(stored[1].report.name, QStringLiteral("Tür"));
        QVERIFY(statusOf(receiver.port(), "GET " + path + valid + tail).contains(" 200"));
        QCOMPARE(storedIn(receiver).size(), 3);
    }
};

QTEST_GUILESS_MAIN(ReportTest)
#include "report_test.moc"
