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
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <memory>
#include <vector>

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

// A report of the program and nothing else.
QString reportOf(const ReceiverProcess& receiver, const QString& program) {
    return reportAddress(receiver.host(), ReportFields{QStringLiteral("n"), program, {}, {}, {}});
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

    void dryRunPrintsTheAddressWithEveryValueEncoded() {
        setReportHost("reports.example:8080");
        CliResult result = run({"report", "Tür & Tor", "--notice", "a b&c", "--dry-run"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(
            result.out.startsWith("http://reports.example:8080/_system/tidyra_startwarden.php"
                                  "?name=T%C3%BCr%20%26%20Tor&program=C%3A%5CTools%5Ctool.exe%20%2Fa%20b%26c"
                                  "&firma=Example%20Tools%20Ltd.&ort=") &&
                result.out.endsWith("&details=a%20b%26c"),
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
            QVERIFY(sendReport(reportAddress(receiver.host(), fields), kDirectAccess));

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

    // A value that looks like more fields stays one field; a report without a program is refused.
    void aForgedFieldStaysInItsValueAndAnEmptyProgramIsRefused() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        const ReportFields forged{QStringLiteral("x&program=FAKE"), QStringLiteral("C:\\real.exe"),
                                  QStringLiteral("a%26b"), QStringLiteral("LURun&ort=x"),
                                  QStringLiteral("&details=more #1")};
        QVERIFY(sendReport(reportAddress(receiver.host(), forged), kDirectAccess));
        QVERIFY(sendReport(reportOf(receiver, QStringLiteral(" ")), kDirectAccess));
        const QList<reports::StoredReport> stored = storedIn(receiver);
        QCOMPARE(stored.size(), 1);
        const reports::ReceivedReport& got = stored[0].report;
        QCOMPARE((QStringList{got.name, got.program, got.company, got.place, got.details}),
                 (QStringList{forged.name, forged.program, forged.company, forged.place, forged.details}));
        QVERIFY(statusOf(receiver.port(), "GET /_system/tidyra_startwarden.php?name=n&program=&firma=&ort="
                                          "&details= HTTP/1.1\r\nHost: x\r\n\r\n")
                    .contains(" 400"));
    }

    // Bodies far above the limit are refused from their head and never read; so is a head that does
    // not end. The receiver's peak memory stays small (three 400 MB bodies once took 2.4 GB).
    void oversizedRequestsAreRefusedBeforeTheyAreRead() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        const auto peakKiB = [&] {
            QFile status(QStringLiteral("/proc/%1/status").arg(receiver.processId()));
            if (!status.open(QIODevice::ReadOnly))
                return qint64(-1);
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmHWM:"))
                    return line.mid(6).trimmed().split(' ').first().toLongLong();
            return qint64(-1);
        };
        const qint64 before = peakKiB();
        QVERIFY(before > 0);
        const QByteArray path = "/_system/tidyra_startwarden.php?name=a&program=b.exe&firma=&ort=&details=";
        const QByteArray heads[] = {"GET " + path +
                                        " HTTP/1.1\r\nHost: x\r\nContent-Length: 400000000\r\n\r\n",
                                    "POST " + path + " HTTP/1.1\r\nContent-Length: 400000000\r\n\r\n",
                                    "GET " + path + " HTTP/1.1\r\nX-Pad: "};
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (const QByteArray& head : heads) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            QTcpSocket& socket = *sockets.back();
            socket.connectToHost(QHostAddress::LocalHost, receiver.port());
            QVERIFY(socket.waitForConnected(5000));
            socket.write(head);
        }
        // 24 MiB more on each, as far as the receiver lets it in.
        const QByteArray chunk(1024 * 1024, 'p');
        qint64 sent = 0;
        for (int round = 0; round < 24; ++round)
            for (auto& socket : sockets)
                if (socket->state() == QAbstractSocket::ConnectedState) {
                    socket->write(chunk);
                    if (socket->waitForBytesWritten(1000))
                        sent += chunk.size();
                    else
                        socket->abort();
                }
        const qint64 after = peakKiB();
        qInfo("receiver peak memory %lld KiB before, %lld KiB after; %lld MiB got out of the sender", before,
              after, sent / (1024 * 1024));
        QVERIFY2(after - before < 8 * 1024, qPrintable(QString::number(after - before)));
        QVERIFY(storedIn(receiver).isEmpty());
        // Told so in an answer while the request was still coming.
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, receiver.port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(heads[0]);
        QVERIFY(socket.waitForReadyRead(5000));
        QVERIFY(socket.readAll().startsWith("HTTP/1.1 413 "));
    }

    // A client that connects and sends nothing, or half a request, is closed after the request timeout.
    void idleAndHalfSentConnectionsAreClosed() {
        ReceiverProcess receiver({"--request-timeout", "1"});
        QVERIFY(receiver.isRunning());
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < 40; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, receiver.port());
            QVERIFY(sockets.back()->waitForConnected(5000));
            if (i % 2)
                sockets.back()->write("GET /_system/tidyra_startwarden.php?name=a&prog");
        }
        for (auto& socket : sockets)
            if (socket->state() != QAbstractSocket::UnconnectedState)
                QVERIFY(socket->waitForDisconnected(10000));
        QVERIFY(sockets[1]->readAll().startsWith("HTTP/1.1 408 "));
        QVERIFY(sendReport(reportOf(receiver, QStringLiteral("p.exe")), kDirectAccess));
        QCOMPARE(storedIn(receiver).size(), 1);
    }

    // Another process holding the database locked: the answer comes at once and the report is stored
    // when the lock goes.
    void aLockedDatabaseDelaysTheReportWithoutLosingIt() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        {
            QSqlDatabase lock = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
            lock.setDatabaseName(receiver.database());
            QVERIFY(lock.open());
            QSqlQuery query(lock);
            QVERIFY(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QElapsedTimer clock;
            clock.start();
            for (const char* program : {"first.exe", "second.exe"})
                QVERIFY(sendReport(reportOf(receiver, program), kDirectAccess));
            qInfo("two reports answered in %lld ms while the database was locked", clock.elapsed());
            QVERIFY(clock.elapsed() < 5000);
            QVERIFY(query.exec(QStringLiteral("COMMIT")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("lock"));
        QTRY_COMPARE_WITH_TIMEOUT(storedIn(receiver).size(), 2, 10000);
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
