// The main window on real prefixes, started as the program starts it; listings too long to show at once
// come in from the event loop, and what ends up in the list is the last clicked category's rows, once.
#include "entries/entry_actions.h"
#include "entries/entry_lister.h"
#include "fixture_bytes.h"
#include "gui/rating_strip.h"
#include "gui/single_instance_lock.h"
#include "gui/splitter_panel.h"
#include "main_window_fixture.h"
#include "platform/wine/prefix_writer_lock.h"
#include "platform/wine/wine_desktop_services.h"
#include "recording_desktop.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sw;
using test::TempPrefix;

namespace {

const QByteArray kMachineRun = TempPrefix::runSection("\"Known\"=\"C:\\\\Tools\\\\known.exe /tray\"\n"
                                                      "\"Unknown\"=\"C:\\\\Tools\\\\other.exe\"\n"
                                                      "\"Gone\"=\"C:\\\\Tools\\\\missing.exe\"\n");

// "Mine" in the user's Run key, and as many more rows as asked.
QByteArray userRun(int extraRows) {
    QByteArray lines = "\"Mine\"=\"REM C:\\\\Tools\\\\known.exe\"\n";
    for (int i = 0; i < extraRows; ++i)
        lines +=
            QStringLiteral("\"Run%1\"=\"C:\\\\Tools\\\\t%1.exe\"\n").arg(i, 3, 10, QLatin1Char('0')).toUtf8();
    return TempPrefix::runSection(lines);
}

struct Fixture : test::MainWindowFixture {
    explicit Fixture(int extraRows = 0) : MainWindowFixture(kMachineRun, userRun(extraRows)) {
        prefix.writeFile(QStringLiteral("drive_c/Tools/known.exe"), test::fixtureBytes("app_x86_64.exe"));
        prefix.writeFile(QStringLiteral("drive_c/Tools/other.exe"), "MZ"); // no version texts
    }

    void start() {
        startWindow(QSize(1100, 566));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void waitForListing() { QTRY_VERIFY_WITH_TIMEOUT(!window.isLoading(), 60000); }

    QModelIndex row(const QString& name) const { return test::entryNamed(window, name); }
    QString caption(const char* key) const { return window.categoryCaption(key); }
    // Every listed row once, by place and name.
    int distinctRows() const {
        QSet<QString> seen;
        for (const AutostartEntry& row : window.rowsInListOrder())
            seen.insert(row.tag + QLatin1Char('|') + row.name);
        return int(seen.size());
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
        QCOMPARE(boxes.shown()[0].text, texts.getText("AlreadyRunning"));
        QCOMPARE(boxes.shown()[0].icon, MessageIcon::Exclamation);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lock"});
    }

    void startupTranslatesListsAndRatesTheFirstRow() {
        Fixture f;
        f.start();
        QCOMPARE(
            f.window.windowTitle(),
            f.texts.getText("MainWinTitPrefix").replace("%PREFIX%", QFileInfo(f.prefix.path()).fileName()));
        QCOMPARE(test::entryList(f.window)->model()->headerData(1, Qt::Horizontal).toString(),
                 f.texts.getText("program"));
        // Icon-only buttons still tell screen readers their translated caption.
        QWidget* runButton =
            test::control<QToolBar>(f.window, "tlbMain")->widgetForAction(f.window.toolbarButton("run"));
        QCOMPARE(QAccessible::queryAccessibleInterface(runButton)->text(QAccessible::Name),
                 f.texts.getText("execute"));
        // No database beside the program: said once, and the window still lists everything.
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown()[0].title, QStringLiteral("File missing"));
        QCOMPARE(test::entryCount(f.window), 4);
        // The first row is shown in the panel: its program exists but has no record; when Wine starts it
        // follows.
        QCOMPARE(test::control<QPlainTextEdit>(f.window, "txtInfo")->toPlainText(),
                 f.texts.getText("DBNoEntry") + "\n\n" +
                     f.texts.getText("WineStartsLine").replace("%WHEN%", f.texts.getText("StartsNever")));
        QVERIFY(f.window.toolbarButton("send")->isEnabled());

        // Every node counts its rows from the start, without accumulating, the services' too.
        QCOMPARE(f.caption("ALL USERS REG"), f.texts.getText("AllUsr") + " (3)");
        QCOMPARE(f.caption("LOCAL RUNONCE"), f.texts.getText("RunOnce") + " (0)");
        f.window.listCategory("LOCAL RUN");
        f.window.listCategory("LOCAL RUN");
        QCOMPARE(f.caption("LOCAL RUN"), f.texts.getText("Run") + " (1)");
        QCOMPARE(f.caption("ALL"), f.texts.getText("All") + " (4)");
        f.window.listCategory("SERVICES");
        QCOMPARE(test::entryCount(f.window), 0);
        QCOMPARE(f.caption("SERVICES"), f.texts.getText("LocalServices") + " (0)");

        // The check list holds every place, those of "SERVICES" too, not the last category.
        const QString services = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
        f.services->platform.newRegistryStore()->createKey(kHkeyLocalMachine, services);
        f.services->platform.newRegistryStore()->writeStringValue(kHkeyLocalMachine, services, "Svc",
                                                                  "C:\\svc.exe");
        f.window.listCategory("SERVICES");
        QCOMPARE(f.caption("SERVICES"), f.texts.getText("LocalServices") + " (1)");
        QCOMPARE(f.caption("ALL"), f.texts.getText("All") + " (4)");
        shutDown(f.window, *f.services);
        QCOMPARE(test::fileBytes(f.startup.files.checkList()).count("\r\n"), 5);
        QVERIFY(test::control<SplitterPanel>(f.window, "SplitterPanel1")->Control1() == nullptr);
    }

    // The panel and the buttons show the selected row and nothing of the one before; with no row
    // selected they are empty and at rest.
    void panelShowsOnlyTheSelectedRow() {
        Fixture f;
        f.start();
        f.services->database.searchTable = {{1, "KNOWN.EXE*", "*", "*"}};
        f.services->database.descriptionTable = {
            {"A known tool.", "Home;https://example.com/|Help;https://example.com/a;b"}};
        auto* strip = test::control<RatingStrip>(f.window, "imgInfos");
        const auto label = [&](const char* name) { return test::control<QLabel>(f.window, name)->text(); };
        const auto info = [&] { return test::control<QPlainTextEdit>(f.window, "txtInfo")->toPlainText(); };
        const auto links = [&] { return test::control<QListWidget>(f.window, "lvwLinks")->count(); };
        const auto enabled = [&] {
            QString on;
            for (const char* key : {"add", "edit", "activate", "delete", "run", "send"})
                on += f.window.toolbarButton(key)->isEnabled() ? '1' : '0';
            return on;
        };
        // The strip is drawn at its own size and pixel ratio, not stretched from another.
        QCOMPARE(strip->pixmap().deviceIndependentSize().toSize(), strip->size());
        QCOMPARE(strip->pixmap().devicePixelRatio(), strip->devicePixelRatioF());

        test::selectEntry(f.window, f.row("Known"));
        QVERIFY(info().startsWith("A known tool.\n"));
        QCOMPARE(links(), 2);
        QCOMPARE(strip->artKey(), QStringLiteral("RISK"));
        QVERIFY(label("lblTitle").startsWith("known.exe ("));
        QCOMPARE(enabled(), QStringLiteral("111110")); // a known program is not reported

        // A missing program: nothing of the row before, and it can still be switched off.
        test::selectEntry(f.window, f.row("Gone"));
        QCOMPARE(label("lblTitle"), f.texts.getText("NoIndication"));
        QVERIFY(info().startsWith(f.texts.getText("NoReference") + "\n"));
        QCOMPARE(links(), 0);
        QCOMPARE(strip->artKey(), QStringLiteral("NORMAL"));
        QCOMPARE(enabled(), QStringLiteral("111100"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("activate")->trigger();
        QCOMPARE(f.boxes.shown().last().text, f.texts.textForEntry("MsgDeactivateReq", "Gone"));
        QCOMPARE(f.prefix.value(kHkeyLocalMachine, test::kRunKey, "Gone"), "REM C:\\Tools\\missing.exe");
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("activate")->trigger(); // the same row, selected again
        QCOMPARE(f.boxes.shown().last().text, f.texts.textForEntry("MsgActivateReq", "Gone"));
        QCOMPARE(f.prefix.value(kHkeyLocalMachine, test::kRunKey, "Gone"), "C:\\Tools\\missing.exe");

        // A program that tells neither product nor company shows neither.
        test::selectEntry(f.window, f.row("Unknown"));
        QCOMPARE(label("lblTitle"), QStringLiteral("other.exe"));
        QCOMPARE(label("lblCompany"), QString());
        QVERIFY(info().startsWith(f.texts.getText("DBNoEntry") + "\n"));
        QCOMPARE(enabled(), QStringLiteral("111111"));

        // No row selected, after a category click, on an empty list, once the shown row is deleted.
        const auto emptyAndAtRest = [&](const char* when) {
            QVERIFY2(label("lblTitle").isEmpty() && label("lblCompany").isEmpty() && info().isEmpty() &&
                         links() == 0 && test::control<QLabel>(f.window, "picIcon")->pixmap().isNull(),
                     when);
            QVERIFY2(enabled() == QStringLiteral("100000") && !f.window.selectedRow(), when);
        };
        test::selectEntry(f.window, {});
        emptyAndAtRest("deselected");
        test::selectEntry(f.window, f.row("Known"));
        f.window.listCategory("ALL RUN");
        emptyAndAtRest("category clicked");
        test::selectEntry(f.window, f.row("Known"));
        f.window.listCategory("ALL RUNONCE");
        QCOMPARE(test::entryCount(f.window), 0);
        emptyAndAtRest("empty list");
        f.window.listCategory("ALL");
        test::selectEntry(f.window, f.row("Unknown"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger();
        QVERIFY(!f.row("Unknown").isValid());
        emptyAndAtRest("deleted");
    }

    void panesFollowTheButtonsAndResizingRestoresTheDetails() {
        Fixture f;
        f.start();
        QAction* details = f.window.toolbarButton("details");
        details->trigger(); // released: the information panel collapses
        QVERIFY(!details->isChecked() && !test::control<QFrame>(f.window, "fraInformation")->isVisible());
        f.window.resize(900, 600);
        QVERIFY(details->isChecked() && test::control<QFrame>(f.window, "fraInformation")->isVisible());
        // The information panel keeps its minimum height: 2200 twips less half the bar.
        const int expected = 2162 * f.window.logicalDpiY() / 1440;
        QVERIFY2(qAbs(test::control<QFrame>(f.window, "fraInformation")->height() - expected) <= 2,
                 qPrintable(QString::number(test::control<QFrame>(f.window, "fraInformation")->height())));

        QAction* folders = f.window.toolbarButton("folderlist");
        folders->trigger();
        QVERIFY(!test::control<QTreeWidget>(f.window, "tvwCategories")->isVisible());
        test::control<SplitterPanel>(f.window, "SplitterPanel2")->setSnapped(0);
        QVERIFY(folders->isChecked() && test::control<QTreeWidget>(f.window, "tvwCategories")->isVisible());
    }

    void commandsAskThenActOnTheSelectedEntryAndKeepItSelected() {
        Fixture f;
        f.start();
        auto desktop = std::make_shared<test::RecordingDesktop>();
        f.services->platform.desktop = desktop;
        const QByteArray machineBefore = f.prefix.readFile("system.reg");
        const qsizetype shownAtStart = f.boxes.shown().size();
        QVERIFY(f.window.selectedRow()); // the first row, which the panel shows
        test::selectEntry(f.window, {});
        // Nothing selected: no question, no write, nothing started.
        for (const char* key : {"activate", "delete", "run"})
            f.window.toolbarButton(key)->trigger();
        QCOMPARE(f.boxes.shown().size(), shownAtStart);
        QCOMPARE(f.prefix.readFile("system.reg"), machineBefore);

        test::selectEntry(f.window, f.row("Known"));
        f.window.activateWindow();
        test::entryList(f.window)->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.boxes.enqueue(MessageAnswer::Yes);
        QTest::keyClick(test::entryList(f.window), Qt::Key_Space);
        QCOMPARE(f.boxes.shown().last().text,
                 f.texts.getText("MsgDeactivateReq").replace("%ENTRY%", "Known"));
        QVERIFY(f.prefix.readFile("system.reg").contains("\"Known\"=\"REM C:\\\\Tools\\\\known.exe /tray\""));
        QCOMPARE(test::currentEntry(f.window), f.row("Known"));
        QCOMPARE(f.row("Known").siblingAtColumn(3).data().toString(), f.texts.getText("No"));

        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("run")->trigger();
        QCOMPARE(desktop->started, QStringList{"C:\\Tools\\known.exe /tray"});
        QCOMPARE(f.boxes.shown().last().text, f.texts.getText("MsgExecuteSuc"));
        // Wine's start on the stopped prefix would run and remove the machine's RunOnce entries: asked
        // first, naming them, No the default.
        const QString runOnce32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
        f.services->platform.newRegistryStore()->createKey(kHkeyLocalMachine, runOnce32);
        f.services->platform.newRegistryStore()->writeStringValue(kHkeyLocalMachine, runOnce32, "Setup32",
                                                                  "REM C:\\setup.exe");
        f.boxes.enqueue(MessageAnswer::Yes);
        f.boxes.enqueue(MessageAnswer::No);
        f.window.toolbarButton("run")->trigger();
        QCOMPARE(f.boxes.shown().last().buttons, MessageButtons::YesNoDefaultNo);
        QVERIFY2(f.boxes.shown().last().text.contains("\nSetup32 (" + f.texts.getText("AURunOnce32") + ")\n"),
                 qPrintable(f.boxes.shown().last().text));
        QCOMPARE(desktop->started.size(), 1);
        // Deactivated, its "REM " line is nothing Wine could start.
        QCOMPARE(f.row("Known").siblingAtColumn(5).data().toString(), f.texts.getText("StartsNeverShort"));

        f.boxes.enqueue(MessageAnswer::No);
        QTest::keyClick(test::entryList(f.window), Qt::Key_Delete);
        QVERIFY(f.row("Known").isValid());
        f.boxes.enqueue(MessageAnswer::Yes);
        QTest::keyClick(test::entryList(f.window), Qt::Key_Delete);
        QVERIFY(!f.row("Known").isValid());
        QVERIFY(!f.prefix.readFile("system.reg").contains("\"Known\""));

        // A second click on a column reverses; the order holds across a new listing.
        f.window.sortListBy(0);
        f.window.sortListBy(0);
        f.window.listCategory("ALL");
        QCOMPARE(test::entryText(f.window, 0), QStringLiteral("Unknown"));
        QCOMPARE(f.window.rowsInListOrder().first().name, QStringLiteral("Unknown"));
    }

    // A step that fails says so in one sentence of the language file, after the list shows what is.
    void failedCommandsSaySoAndDeleteAsksBeforeGoingWithoutBackup() {
        Fixture f;
        const QString shortcut = f.prefix.commonStartupFolder() + "/Tool.lnk";
        QVERIFY(f.prefix.writeFile(shortcut, test::fixtureBytes("example.lnk")));
        f.start();
        const auto select = [&](const QString& name) {
            test::selectEntry(f.window, f.row(name));
            return test::currentEntry(f.window).isValid();
        };
        const auto lastText = [&] { return f.boxes.shown().last().text; };
        const auto firstLine = [&](const char* key, const QString& name) {
            return f.texts.textForEntry(key, name).section('\n', 0, 0);
        };

        // A file where the backup folder belongs: the copy fails and the shortcut stays unless the
        // user says Yes to going without one; No is the default.
        const QString backupFolder =
            backupFolderOfFile(f.services->platform, f.services->files.dataFolder(), shortcut);
        QVERIFY(QDir(backupFolder).removeRecursively() && f.prefix.writeFile(backupFolder, "in the way"));
        QVERIFY(select("Tool.lnk"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger();
        QCOMPARE(f.boxes.shown().last().buttons, MessageButtons::YesNoDefaultNo);
        QVERIFY2(lastText().startsWith(firstLine("MsgDeleteWithoutBackupReq", "Tool.lnk")),
                 qPrintable(lastText()));
        QVERIFY(QFile::exists(shortcut) && f.row("Tool.lnk").isValid());
        f.boxes.enqueue(MessageAnswer::Yes);
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger();
        QVERIFY(!QFile::exists(shortcut) && !f.row("Tool.lnk").isValid());

        // A program that cannot start (no Wine to start it with) is never reported as started.
        f.services->platform.desktop =
            std::make_shared<WineDesktopServices>(f.prefix.path(), f.prefix.hostPath("no-wine-here"));
        QVERIFY(select("Known"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("run")->trigger();
        QVERIFY2(lastText().startsWith(firstLine("MsgExecuteFailed", "Known")), qPrintable(lastText()));
        QVERIFY(lastText().contains("no-wine-here"));
        QCOMPARE(f.boxes.shown().last().icon, MessageIcon::Exclamation);

        // A value removed behind the window's back: the toggle fails, says so, and the row goes.
        QByteArray machine = f.prefix.readFile("system.reg");
        machine.replace("\"Unknown\"=\"C:\\\\Tools\\\\other.exe\"\n", "");
        QVERIFY(f.prefix.writeFile("system.reg", machine));
        QVERIFY(select("Unknown"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("activate")->trigger();
        QVERIFY2(lastText().startsWith(firstLine("MsgActivateFailed", "Unknown")), qPrintable(lastText()));
        QVERIFY(!f.row("Unknown").isValid());
        QCOMPARE(f.prefix.readFile("system.reg"), machine);

        // Wine started after the last listing: the write is refused in a sentence, nothing changes,
        // and the banner comes up with the write buttons at rest.
        f.services->platform.readOnlyReason = [] { return QStringLiteral("wineserver 42"); };
        QVERIFY(select("Known"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("activate")->trigger();
        QCOMPARE(lastText(), f.texts.textForEntry("MsgWineRunningRefused", "Known"));
        QCOMPARE(f.prefix.readFile("system.reg"), machine);
        QVERIFY(test::control<QLabel>(f.window, "lblReadOnly")->isVisible() &&
                !f.window.toolbarButton("delete")->isEnabled());
    }

    // The window and another writer of the prefix (a command line) never write at once: the window
    // waits, and then tells that nothing was changed.
    void writesWaitForAnotherWriterAndNeverReachOtherFiles() {
        Fixture f;
        f.start();
        const QByteArray lockFile = QFile::encodeName(prefixWriterLockFile(f.prefix.path()));
        QVERIFY(QDir().mkpath(f.prefix.hostPath("startwarden")));
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t writer = ::fork();
        if (writer == 0) { // only async-signal-safe calls in the child of a threaded process
            const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT, 0644);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            const char held = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &held, 1);
            ::pause();
            ::_exit(0);
        }
        char held = 0;
        QCOMPARE(::read(ready[0], &held, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        const QByteArray before = f.prefix.readFile("system.reg");
        test::selectEntry(f.window, f.row("Known"));
        f.boxes.enqueue(MessageAnswer::Yes); // delete it?
        f.window.toolbarButton("delete")->trigger();
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        QCOMPARE(held, 'y');
        QCOMPARE(f.boxes.shown().last().text, f.texts.getText("MsgPrefixBusy"));
        QCOMPARE(f.prefix.readFile("system.reg"), before);
        QVERIFY(f.row("Known").isValid());
        // once the other writer has ended
        test::selectEntry(f.window, f.row("Known"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger();
        QVERIFY(!f.prefix.readFile("system.reg").contains("\"Known\""));

        // A name that would reach another file through its folder is listed but never written.
        const QString name = "x\\..\\..\\victim.lnk";
        const QString victim = QDir::cleanPath(f.prefix.commonStartupFolder() + "/x/../../victim.lnk");
        QVERIFY(f.prefix.writeFile(f.prefix.commonStartupFolder() + "/" + name, "x") &&
                f.prefix.writeFile(victim, "victim"));
        f.window.listCategory("ALL USERS");
        f.waitForListing();
        QVERIFY(f.row(name).isValid());
        test::selectEntry(f.window, f.row(name));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger();
        QCOMPARE(f.boxes.shown().last().text, f.texts.textForEntry("MsgNameNotWritable", name));
        QCOMPARE(f.prefix.readFile(victim), QByteArray("victim"));
        QCOMPARE(test::dosAttrib(victim), QByteArray("<none>"));
    }

    // The check list of the last run dims new rows once the whole start-up listing is in; each row once.
    void longListingAtStartUpIsDimmedOnce() {
        Fixture f(600);
        test::writeBytes(f.startup.files.checkList(),
                         "C:\\Tools\\known.exe /tray\r\nC:\\Tools\\t599.exe\r\n");
        f.startWindow();
        f.waitForListing();
        QCOMPARE(f.caption("ALL"), f.texts.getText("All") + " (604)");
        QCOMPARE(test::entryCount(f.window), 604);
        QCOMPARE(f.distinctRows(), 604);
        QStringList undimmed;
        for (const AutostartEntry& row : f.window.rowsInListOrder())
            if (!row.ghosted)
                undimmed << row.name;
        QCOMPARE(undimmed, QStringList({"Run599", "Known"}));
    }

    // What is new since the last exit stays dimmed, the whole row, until the window ends: through a
    // refresh, a command and another category. A second entry of a known program is new once.
    void newEntriesStayDimmedUntilExit() {
        Fixture f;
        QByteArray user = f.prefix.readFile("user.reg");
        user.replace("\"Mine\"=", "\"Again\"=\"C:\\\\Tools\\\\other.exe\"\n\"Mine\"=");
        QVERIFY(f.prefix.writeFile("user.reg", user));
        test::writeBytes(f.startup.files.checkList(),
                         "C:\\Tools\\known.exe /tray\r\nc:\\tools\\OTHER.exe\r\nC:\\Tools\\known.exe\r\n");
        f.start();
        const auto dimmed = [&] {
            QStringList names;
            const QAbstractItemModel* model = test::entryList(f.window)->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                int columns = 0;
                for (int column = 0; column < model->columnCount(); ++column)
                    columns += model->index(row, column).data(Qt::ForegroundRole).isValid();
                if (columns > 0)
                    names << test::entryText(f.window, row) + (columns == model->columnCount() ? "" : "?");
            }
            names.sort();
            return names;
        };
        // "Again" is listed before "Unknown", and the one line of their program is the first's.
        QCOMPARE(dimmed(), QStringList({"Gone", "Unknown"}));
        f.window.toolbarButton("refresh")->trigger();
        QCOMPARE(dimmed(), QStringList({"Gone", "Unknown"}));
        test::selectEntry(f.window, f.row("Known"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("activate")->trigger();
        QCOMPARE(dimmed(), QStringList({"Gone", "Unknown"}));
        f.window.listCategory("ALL RUN");
        QCOMPARE(dimmed(), QStringList({"Gone", "Unknown"}));

        // The list the exit writes makes every row known to the next start, and to the command line.
        shutDown(f.window, *f.services);
        EntryLister next(f.services->platform, f.texts);
        next.ghostRowsMissingFrom(f.startup.files.checkList());
        next.listNow("ALL");
        QCOMPARE(next.rows().size(), 5);
        QVERIFY(std::none_of(next.rows().begin(), next.rows().end(),
                             [](const auto& row) { return row.ghosted; }));
    }

    void longListingLetsTheEventLoopRunAndEndsSortedWithEachRowOnce() {
        Fixture f(600);
        f.startWindow();
        f.waitForListing();
        f.window.sortListBy(0);
        f.window.listCategory("ALL");
        const int shownAtOnce = test::entryCount(f.window);
        QVERIFY(shownAtOnce > 0 && shownAtOnce < 604);
        int rowsWhenTimerRan = -1;
        QTimer::singleShot(0, [&] { rowsWhenTimerRan = test::entryCount(f.window); });
        f.waitForListing();
        QVERIFY(rowsWhenTimerRan >= 0 && rowsWhenTimerRan < 604);
        QCOMPARE(f.distinctRows(), 604);
        QCOMPARE(test::entryCount(f.window), 604);
        // The machine's rows came later and still take their sorted places.
        QCOMPARE(test::entryText(f.window, 0), QStringLiteral("Gone"));
        QCOMPARE(test::entryText(f.window, 603), QStringLiteral("Unknown"));

        // A refresh keeps a row that is listed only after the first rows are shown.
        test::selectEntry(f.window, f.row(test::entryText(f.window, 0)));
        f.window.toolbarButton("refresh")->trigger();
        f.waitForListing();
        QVERIFY(test::currentEntry(f.window).isValid());
        QCOMPARE(test::currentEntry(f.window).data().toString(), QStringLiteral("Gone"));

        // A click while a long listing comes in shows only the new category's rows.
        const QString allCaption = f.caption("ALL");
        f.window.listCategory("ALL");
        QVERIFY(f.window.isLoading());
        f.window.listCategory("ALL RUN");
        f.waitForListing();
        QCOMPARE(test::entryCount(f.window), 3);
        QCOMPARE(f.distinctRows(), 3);
        QCOMPARE(f.caption("ALL RUN"), f.texts.getText("Run") + " (3)");
        QCOMPARE(f.caption("ALL"), allCaption);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
