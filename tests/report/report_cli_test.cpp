// startwarden-cli report, run as a program.
#include "cli_copy.h"
#include "receiver_process.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QSettings>

using sw::test::CliResult;
using sw::test::ReceiverProcess;
using sw::test::TempPrefix;

namespace {

const QByteArray kUserRun = TempPrefix::runSection("\"T\\xfcr & Tor\"=\"C:\\\\Tools\\\\tool.exe /a b&c\"\n"
                                                   "\"Gone\"=\"C:\\\\Tools\\\\missing.exe\"\n");

} // namespace

class ReportCliTest : public QObject {
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
    }
};

QTEST_GUILESS_MAIN(ReportCliTest)
#include "report_cli_test.moc"
