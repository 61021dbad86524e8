// The "send" command and its dialog, from the main window to a real receiver.
#include "fixture_bytes.h"
#include "gui/frm_send.h"
#include "gui/xp_frame.h"
#include "main_window_fixture.h"
#include "receiver_process.h"
#include "report/report_request.h"
#include "report/send_report.h"
#include "report_store.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

using namespace sw;
using sw::test::ReceiverProcess;

namespace {

// An entry whose name holds an umlaut, "&" and blanks, and whose command line "&" and blanks.
const QByteArray kUserRun =
    test::TempPrefix::runSection("\"T\\xfcr & Tor\"=\"C:\\\\Tools\\\\tool.exe /a b&c\"\n");

struct Fixture : test::MainWindowFixture {
    Fixture() : MainWindowFixture({}, kUserRun) {
        prefix.writeFile("drive_c/Tools/tool.exe", test::fixtureBytes("app_x86_64.exe"));
        startWindow();
        window.show();
        test::selectEntry(window, test::entryList(window)->model()->index(0, 0));
    }

    // Presses "send" and lets `act` work the dialog while it is open; a dialog still open after
    // that is cancelled.
    void sendWith(const std::function<void(frmSend&)>& act) {
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = window.findChild<frmSend*>();
            if (!dialog || !dialog->isVisible() || seen)
                return;
            seen = true;
            act(*dialog);
            if (dialog->isVisible())
                test::control<QPushButton>(*dialog, "cmdCancel")->click();
        });
        poll.start();
        window.toolbarButton("send")->trigger();
        QVERIFY2(seen, "the dialog did not open");
    }

    int shownCount(const QString& key) const {
        return int(std::count_if(boxes.shown().begin(), boxes.shown().end(),
                                 [&](const auto& shown) { return shown.text == texts.getText(key); }));
    }
};

// An empty host removes the setting.
void setReportHost(const QString& host) {
    QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
    if (host.isEmpty())
        settings.remove(QStringLiteral("Settings/ReportHost"));
    else
        settings.setValue(QStringLiteral("Settings/ReportHost"), host);
    settings.sync();
}

} // namespace

class ReportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Settings go to a test folder, never the user's.
        QStandardPaths::setTestModeEnabled(true);
    }
    void cleanupTestCase() { setReportHost(QString()); }

    void sendsTheSelectedEntryAsTypedAndTheReceiverExportsIt() {
        ReceiverProcess receiver;
        QVERIFY(receiver.isRunning());
        setReportHost(receiver.host());
        Fixture f;
        const QString notice = QStringLiteral("Öffnet sich bei jedem Start & zeigt 100% an");
        QString place;
        f.sendWith([&](frmSend& dialog) {
            QCOMPARE(dialog.windowTitle(), f.texts.getText("ReportWinTit"));
            QCOMPARE(QApplication::focusWidget(), test::control<QLineEdit>(dialog, "txtName"));
            QCOMPARE(test::control<QLineEdit>(dialog, "txtCorperation")->text(),
                     QStringLiteral("Example Tools Ltd."));
            place = test::control<QLineEdit>(dialog, "txtPlace")->text();
            QVERIFY(test::control<QLabel>(dialog, "lblName")->geometry().right() <
                    test::control<ctlXPFrame>(dialog, "ctlXPFrame1")->pBarWidth());
            // The hint is no text of the box: what is typed is all it holds.
            auto* box = test::control<QPlainTextEdit>(dialog, "txtNotice");
            QVERIFY(box->toPlainText().isEmpty() && box->placeholderText() == f.texts.getText("ReportForm"));
            QTest::keyClicks(box, notice);
            QCOMPARE(box->toPlainText(), notice);
            QTest::mouseClick(test::control<QPushButton>(dialog, "cmdSend"), Qt::LeftButton);
        });
        QCOMPARE(f.shownCount("MsgReportSendSuc"), 1);
        QVERIFY(!f.window.findChild<frmSend*>()); // closed and gone
        // Again, with the notice untouched: no details.
        f.sendWith([&](frmSend& dialog) {
            QTest::mouseClick(test::control<QPushButton>(dialog, "cmdSend"), Qt::LeftButton);
        });
        QCOMPARE(f.shownCount("MsgReportSendSuc"), 2);

        const auto stored = reports::ReportStore(receiver.database()).mostReported(10);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].count, 2);
        QCOMPARE(stored[0].report.name, QStringLiteral("Tür & Tor"));
        QCOMPARE(stored[0].report.program, QStringLiteral("C:\\Tools\\tool.exe /a b&c"));
        QCOMPARE(stored[0].report.place, place);
        QCOMPARE(stored[0].report.details, notice); // the first report's, which had some
        QVERIFY(stored[0].rawQuery.endsWith("&details="));
    }

    void anUnreachableHostKeepsTheDialogAndWhatWasTyped() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        setReportHost(QStringLiteral("127.0.0.1:%1").arg(closed.serverPort()));
        closed.close();
        Fixture f;
        f.sendWith([&](frmSend& dialog) {
            test::control<QLineEdit>(dialog, "txtName")->setText(QStringLiteral("edited"));
            test::control<QPlainTextEdit>(dialog, "txtNotice")->setPlainText(QStringLiteral("mein Hinweis"));
            QTest::mouseClick(test::control<QPushButton>(dialog, "cmdSend"), Qt::LeftButton);
            QVERIFY(dialog.isVisible() && test::control<QPushButton>(dialog, "cmdSend")->isEnabled());
            QCOMPARE(test::control<QLineEdit>(dialog, "txtName")->text(), QStringLiteral("edited"));
            QCOMPARE(test::control<QPlainTextEdit>(dialog, "txtNotice")->toPlainText(),
                     QStringLiteral("mein Hinweis"));
            QCOMPARE(f.shownCount("MsgErrReportSend"), 1);
            QCOMPARE(f.boxes.shown().last().icon, MessageIcon::Critical);
            // However much is typed, the notice holds 1,000 characters.
            QTest::keyClicks(test::control<QPlainTextEdit>(dialog, "txtNotice"),
                             QString(1005, QLatin1Char('x')));
            QCOMPARE(test::control<QPlainTextEdit>(dialog, "txtNotice")->toPlainText().size(),
                     frmSend::kNoticeLength);
        });
        QCOMPARE(f.shownCount("MsgReportSendSuc"), 0);

        test::selectEntry(f.window, {});
        f.window.toolbarButton("send")->trigger(); // no selection: nothing opens
        QVERIFY(!f.window.findChild<frmSend*>());
    }

    // A server that answers 500 has answered; one that never answers ends in the timeout.
    void anyAnswerCountsAndSilenceEndsInTheTimeout() {
        QTcpServer failing;
        QVERIFY(failing.listen(QHostAddress::LocalHost));
        connect(&failing, &QTcpServer::newConnection, this, [&] {
            QTcpSocket* socket = failing.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->write("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
                socket->disconnectFromHost();
            });
        });
        const auto address = [](quint16 port) {
            return reportAddress(QStringLiteral("127.0.0.1:%1").arg(port), ReportFields{});
        };
        QVERIFY(sendReport(address(failing.serverPort()), kDirectAccess));

        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!sendReport(address(silent.serverPort()), kDirectAccess, std::chrono::milliseconds(300)));
        QVERIFY(clock.elapsed() < 5000);
    }
};

QTEST_MAIN(ReportDialogTest)
#include "report_dialog_test.moc"
