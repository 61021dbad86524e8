// startwarden-cli report, run from a copy of the program tree so nothing is written into the build.
#include "receiver_process.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QSettings>

using sw::test::ReceiverProcess;
using sw::test::TempPrefix;

namespace {

const QByteArray kUserRun = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                            "#time=1d9f0e0c0a0b0c0\n"
                            "\"T\\xfcr & Tor\"=\"C:\\\\Tools\\\\tool.exe /a b&c\"\n"
                            "\"Gone\"=\"C:\\\\Tools\\\\missing.exe\"\n";

struct Result {
    int exitCode = -1;
    QString out;
    QByteArray err;
};

} // namespace

class ReportCliTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_tree; // Program/ (a copy), Data -> the build's Data, home/
    TempPrefix m_prefix{{}, kUserRun};

    QString program() const { return m_tree.filePath("Program/startwarden-cli"); }

    void setReportHost(const QString& host) const {
        QSettings settings(m_tree.filePath("home/config/Tidyra/Tidyra.conf"), QSettings::IniFormat);
        settings.setValue("Settings/ReportHost", host);
    }

    Result run(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_tree.filePath("home"));
        env.insert("XDG_CONFIG_HOME", m_tree.filePath("home/config"));
        process.setProcessEnvironment(env);
        process.start(program(), QStringList{"--prefix", m_prefix.path()} + arguments);
        Result result;
        if (!process.waitForFinished(60000))
            return result;
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        result.err = process.readAllStandardError();
        return result;
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir(m_tree.path()).mkpath("Program") && QDir(m_tree.path()).mkpath("home/config"));
        QVERIFY(QFile::copy(SW_BINARY_DIR "/StartWarden/Program/startwarden-cli", program()));
        QVERIFY(QFile::link(SW_BINARY_DIR "/StartWarden/Data", m_tree.filePath("Data")));
        QVERIFY(QDir().mkpath(m_prefix.hostPath("drive_c/Tools")));
        QVERIFY(
            QFile::copy(sw::test::fixture("app_x86_64.exe"), m_prefix.hostPath("drive_c/Tools/tool.exe")));
    }

    void dryRunPrintsTheAddressWithTheValuesAsTheyStand() {
        setReportHost("reports.example:8080");
        Result result = run({"report", "Tür & Tor", "--notice", "a b&c", "--dry-run"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(
            result.out.startsWith("http://reports.example:8080/_system/tidyra_startwarden.php?name=Tür & Tor"
                                  "&program=C:\\Tools\\tool.exe /a b&c&firma=Example Tools Ltd.&ort=") &&
                result.out.endsWith("&details=a b&c"),
            qPrintable(result.out));
        // A missing program has no company; no notice sends no details.
        result = run({"report", "Gone", "--dry-run"});
        QVERIFY2(result.out.contains("&firma=&ort=") && result.out.endsWith("&details="),
                 qPrintable(result.out));
    }

    void sendsToTheReceiverAndSaysWhenNoneAnswers() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        setReportHost(receiver.host());
        const Result result = run({"report", "tür & tor", "--place", "LOCAL RUN", "--notice", "über 100%"});
        QVERIFY2(result.exitCode == 0, result.err.constData());
        const QByteArray drafts = receiver.exportDrafts();
        QVERIFY(drafts.contains("Entry \"Tür & Tor\"") && drafts.contains("# Notice: über 100%\n"));
        receiver.stop();
        QCOMPARE(run({"report", "Tür & Tor"}).exitCode, 6);
    }
};

QTEST_GUILESS_MAIN(ReportCliTest)
#include "report_cli_test.moc"
