#include "app/main_services.h"
#include "app/main_window.h"
#include "app/single_instance_lock.h"
#include "app/startup.h"
#include "controls/splitter_panel.h"
#include "main_window_fixture.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "scripted_message_boxes.h"
#include "temp_prefix.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <memory>

using namespace sw;

namespace {

const QByteArray kMachineRun = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                               "#time=1d9f0e0c0a0b0c0\n"
                               "\"Known\"=\"C:\\\\Tools\\\\known.exe /tray\"\n"
                               "\"Unknown\"=\"C:\\\\Tools\\\\other.exe\"\n"
                               "\"Gone\"=\"C:\\\\Tools\\\\missing.exe\"\n";
const QByteArray kUserRun = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                            "#time=1d9f0e0c0a0b0c0\n"
                            "\"Mine\"=\"REM C:\\\\Tools\\\\known.exe\"\n";

// Records the command lines it is asked to start instead of starting Wine.
class RecordingDesktop : public DesktopServices {
public:
    QStringList started;
    void startCommandLine(const QString& commandLine) override { started << commandLine; }
    bool openUrl(const QString&) override { return true; }
    bool openServiceConsole() override { return false; }
};

// A main window on a real prefix, started as the program starts it.
struct Fixture : test::MainWindowFixture {
    Fixture() : MainWindowFixture(kMachineRun, kUserRun) {
        QDir().mkpath(prefix.hostPath("drive_c/Tools"));
        for (const char* name : {"known.exe", "other.exe"})
            QFile::copy(test::fixture("app_x86_64.exe"),
                        prefix.hostPath(QStringLiteral("drive_c/Tools/") + name));
    }

    void start() {
        startWindow(QSize(942, 566));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QTreeWidgetItem* row(const QString& name) const {
        const auto found = window.lvwEntries->findItems(name, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    }

    void secondCopyIsRefusedWithoutWritingAnything() {
        QTemporaryDir dir;
        SingleInstanceLock first(dir.filePath("lock"));
        SingleInstanceLock second(dir.filePath("lock"));
        QVERIFY(!first.anotherInstanceRunning());
        LanguageTexts texts;
        ScriptedMessageBoxes boxes;
        StartupServices startup{texts, boxes, second, ProgramFiles{dir.path()}};
        QVERIFY(!startLanguageAndInstance(startup));
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown()[0].text, texts.GetText("AlreadyRunning"));
        QCOMPARE(boxes.shown()[0].icon, MessageIcon::Exclamation);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lock"});
    }

    void startupTranslatesListsAndRatesTheFirstRow() {
        Fixture f;
        f.start();
        QCOMPARE(f.window.windowTitle(), f.texts.GetText("MainWinTit"));
        QCOMPARE(f.window.lvwEntries->headerItem()->text(1), f.texts.GetText("program"));
        QCOMPARE(f.window.toolbarButton("run")->text(), f.texts.GetText("execute"));
        // Icon-only buttons still tell screen readers their translated caption.
        QWidget* runButton = f.window.tlbMain->widgetForAction(f.window.toolbarButton("run"));
        QCOMPARE(QAccessible::queryAccessibleInterface(runButton)->text(QAccessible::Name),
                 f.texts.GetText("execute"));
        // No database beside the program: said once, and the window still lists everything.
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown()[0].title, QStringLiteral("File missing"));
        QCOMPARE(f.window.lvwEntries->topLevelItemCount(), 4);
        // The first row is shown in the panel: its program exists but has no record.
        QCOMPARE(f.window.txtInfo->toPlainText(), f.texts.GetText("DBNoEntry"));
        QVERIFY(f.window.toolbarButton("send")->isEnabled());
    }

    void categoryCaptionsCountWithoutAccumulating() {
        Fixture f;
        f.start();
        QTreeWidgetItem* localRun = f.window.categoryNode("LOCAL RUN");
        const QString caption = f.texts.GetText("Run");
        f.window.tvwCategories_NodeClick(localRun);
        f.window.tvwCategories_NodeClick(localRun);
        QCOMPARE(localRun->text(0), caption + " (1)");
        QCOMPARE(f.window.categoryNode("ALL")->text(0), f.texts.GetText("All") + " (4)");

        QTreeWidgetItem* services = f.window.categoryNode("SERVICES");
        const QString servicesCaption = services->text(0);
        f.window.tvwCategories_NodeClick(services);
        QCOMPARE(f.window.lvwEntries->topLevelItemCount(), 0);
        QCOMPARE(services->text(0), servicesCaption);
    }

    void panelShowsRecordsAndKeepsEarlierLinksForMissingPrograms() {
        Fixture f;
        f.start();
        f.services->database.searchTable = {{0, "KNOWN.EXE*", "*", "*"}};
        f.services->database.descriptionTable = {
            {"A known tool.", "Home;https://example.com/|Help;https://example.com/a;b"}};

        f.window.lvwEntries_ItemClick(f.row("Known"));
        QCOMPARE(f.window.txtInfo->toPlainText(), QStringLiteral("A known tool."));
        QCOMPARE(f.window.lvwLinks->count(), 2);
        QVERIFY(!f.window.toolbarButton("send")->isEnabled());
        QVERIFY(f.window.lblTitle->text().startsWith("known.exe ("));

        f.window.lvwEntries_ItemClick(f.row("Gone"));
        QCOMPARE(f.window.lblTitle->text(), f.texts.GetText("NoIndication"));
        QCOMPARE(f.window.txtInfo->toPlainText(), f.texts.GetText("NoReference"));
        QVERIFY(!f.window.toolbarButton("activate")->isEnabled());
        QVERIFY(!f.window.toolbarButton("run")->isEnabled());
        QCOMPARE(f.window.lvwLinks->count(), 2); // unchanged

        f.window.lvwEntries_ItemClick(f.row("Unknown"));
        QCOMPARE(f.window.txtInfo->toPlainText(), f.texts.GetText("DBNoEntry"));
        QCOMPARE(f.window.lvwLinks->count(), 0);
        QVERIFY(f.window.toolbarButton("send")->isEnabled());
        QVERIFY(f.window.toolbarButton("run")->isEnabled());
    }

    // The check list holds every place, not the last category; dimming new rows at the next start is
    // the long listing's test.
    void shutdownRecordsEveryEntry() {
        Fixture f;
        f.start();
        f.window.tvwCategories_NodeClick(f.window.categoryNode("LOCAL RUN"));
        shutDown(f.window, *f.services);
        QFile list(f.startup.files.checkList());
        QVERIFY(list.open(QIODevice::ReadOnly));
        QCOMPARE(list.readAll().count("\r\n"), 4);
        QVERIFY(f.window.SplitterPanel1->Control1() == nullptr);
    }

    void panesFollowTheButtonsAndResizingRestoresTheDetails() {
        Fixture f;
        f.start();
        QAction* details = f.window.toolbarButton("details");
        details->trigger(); // released: the information panel collapses
        QVERIFY(!details->isChecked());
        QVERIFY(!f.window.fraInformation->isVisible());
        f.window.resize(900, 600);
        QVERIFY(details->isChecked());
        QVERIFY(f.window.fraInformation->isVisible());
        // The information panel keeps its minimum height: 2200 twips less half the bar.
        const int expected = 2162 * f.window.logicalDpiY() / 1440;
        QVERIFY2(qAbs(f.window.fraInformation->height() - expected) <= 2,
                 qPrintable(QString::number(f.window.fraInformation->height())));

        QAction* folders = f.window.toolbarButton("folderlist");
        folders->trigger();
        QVERIFY(!f.window.tvwCategories->isVisible());
        f.window.SplitterPanel2->setSnapped(0);
        QVERIFY(folders->isChecked());
        QVERIFY(f.window.tvwCategories->isVisible());
    }

    void commandsAskThenActOnTheSelectedEntryAndKeepItSelected() {
        Fixture f;
        f.start();
        auto desktop = std::make_shared<RecordingDesktop>();
        f.services->platform.desktop = desktop;
        const QByteArray machineBefore = f.prefix.readFile("system.reg");
        const qsizetype shownAtStart = f.boxes.shown().size();
        // Nothing selected: no question, no write, nothing started.
        for (const char* key : {"activate", "delete", "run"})
            f.window.toolbarButton(key)->trigger();
        QCOMPARE(f.boxes.shown().size(), shownAtStart);
        QCOMPARE(f.prefix.readFile("system.reg"), machineBefore);

        f.window.lvwEntries->setCurrentItem(f.row("Known"));
        f.window.activateWindow();
        f.window.lvwEntries->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.boxes.enqueue(MessageAnswer::Yes);
        QTest::keyClick(f.window.lvwEntries, Qt::Key_Space);
        QCOMPARE(f.boxes.shown().last().text,
                 f.texts.GetText("MsgDeactivateReq").replace("%ENTRY%", "Known"));
        QCOMPARE(f.boxes.shown().last().icon, MessageIcon::Question);
        QVERIFY(f.prefix.readFile("system.reg").contains("\"Known\"=\"REM C:\\\\Tools\\\\known.exe /tray\""));
        QCOMPARE(f.window.lvwEntries->currentItem(), f.row("Known"));
        QCOMPARE(f.row("Known")->text(3), f.texts.GetText("No"));

        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("run")->trigger();
        QCOMPARE(desktop->started, QStringList{"C:\\Tools\\known.exe /tray"});
        QCOMPARE(f.boxes.shown().last().text, f.texts.GetText("MsgExecuteSuc"));

        f.boxes.enqueue(MessageAnswer::No);
        QTest::keyClick(f.window.lvwEntries, Qt::Key_Delete);
        QVERIFY(f.row("Known"));
        f.boxes.enqueue(MessageAnswer::Yes);
        QTest::keyClick(f.window.lvwEntries, Qt::Key_Delete);
        QVERIFY(!f.row("Known"));
        QVERIFY(!f.prefix.readFile("system.reg").contains("\"Known\""));
    }

    // While Wine runs the banner shows and the write buttons rest; the next refresh after it ended
    // takes both back and keeps the selection.
    void readOnlyPrefixIsShownWhileItLasts() {
        Fixture f;
        f.start();
        QVERIFY(!f.window.lblReadOnly->isVisible());
        bool wineRuns = true;
        f.services->platform.readOnlyReason = [&] {
            return wineRuns ? QStringLiteral("wineserver 42") : QString();
        };
        f.window.toolbarButton("refresh")->trigger();
        QVERIFY(f.window.lblReadOnly->isVisible());
        QCOMPARE(f.window.lblReadOnly->text(), f.texts.GetText("PrefixReadOnly"));
        for (const char* key : {"add", "edit", "activate", "delete"})
            QVERIFY2(!f.window.toolbarButton(key)->isEnabled(), key);
        f.window.lvwEntries->setCurrentItem(f.row("Unknown")); // the panel would enable "activate"
        QVERIFY(!f.window.toolbarButton("activate")->isEnabled());
        wineRuns = false;
        QTest::keyClick(&f.window, Qt::Key_F5);
        QVERIFY(!f.window.lblReadOnly->isVisible());
        for (const char* key : {"add", "edit", "activate", "delete"})
            QVERIFY2(f.window.toolbarButton(key)->isEnabled(), key);
        QCOMPARE(f.window.lvwEntries->currentItem(), f.row("Unknown"));
    }

    void aSecondColumnClickReverses() {
        Fixture f;
        f.start();
        // A second click reverses; the order holds across a new listing, and the check list follows it.
        f.window.lvwEntries_ColumnClick(0);
        f.window.lvwEntries_ColumnClick(0);
        f.window.tvwCategories_NodeClick(f.window.categoryNode("ALL"));
        QCOMPARE(f.window.lvwEntries->topLevelItem(0)->text(0), QStringLiteral("Unknown"));
        QCOMPARE(f.window.rowsInListOrder().first().name, QStringLiteral("Unknown"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
