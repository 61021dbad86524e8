// The main window as a keyboard user, a user of a scaled or small screen, a German user and a user
// who starts Wine meanwhile meet it, on real prefixes and the built program tree.
#include "base/program_files.h"
#include "gui/backup_window.h"
#include "gui/help_key.h"
#include "gui/qt_translations.h"
#include "gui/read_only_watch.h"
#include "main_window_fixture.h"
#include "server_lock.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

using namespace sw;

namespace {

const QString kTree = QStringLiteral(SW_BINARY_DIR "/StartWarden");

// Two entries of the current user; the program tree of the build, with its help pages.
struct Fixture : test::MainWindowFixture {
    Fixture()
        : MainWindowFixture(
              {}, test::TempPrefix::userProfileBody() +
                      test::TempPrefix::runSection("\"Tool\"=\"C:\\\\Tools\\\\tool.exe\"\n"
                                                   "\"Other Tool With A Long Name\"=\"C:\\\\x.exe\"\n")) {
        startup.files.programFolder = kTree + "/Program";
        startWindow(QSize(942, 566));
        window.show();
        window.activateWindow();
    }
    QTreeWidget* tree() { return test::control<QTreeWidget>(window, "tvwCategories"); }
    QString current() { return tree()->currentItem()->data(0, Qt::UserRole).toString(); }
    void key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QTRY_VERIFY(!window.isLoading());
    }
    QWidget* helpWindow(const QWidget& owner) { return owner.findChild<QWidget*>("frmHelp"); }
};

} // namespace

class WindowAccessTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void keyboardReachesEveryCommand() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.tree()->setFocus();
        // The list follows the highlight; the services node lists nothing and opens nothing.
        f.key(f.tree(), Qt::Key_Down);
        QCOMPARE(f.current(), QStringLiteral("STARTMENU"));
        QCOMPARE(test::entryCount(f.window), 0);
        f.key(f.tree(), Qt::Key_End);
        QCOMPARE(f.current(), QStringLiteral("SERVICES"));
        f.key(f.tree(), Qt::Key_Home);
        QCOMPARE(test::entryCount(f.window), 2);
        // Return lists the highlighted category again, as a click does.
        QVERIFY(
            f.prefix.writeFile("user.reg", f.prefix.readFile("user.reg").replace("\"Tool\"=", "\"Tool2\"=")));
        f.key(f.tree(), Qt::Key_Return);
        QVERIFY(test::entryNamed(f.window, "Tool2").isValid());

        // Tab reaches the toolbar; the commands have keys, shown in their tool tips.
        QWidget* refresh =
            test::control<QToolBar>(f.window, "tlbMain")->widgetForAction(f.window.toolbarButton("refresh"));
        for (int i = 0; i < 30 && QApplication::focusWidget() != refresh; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), refresh);
        QAction* backups = f.window.toolbarButton("backups");
        QCOMPARE(backups->shortcut(), QKeySequence(f.texts.getText("backupKey")));
        QVERIFY(backups->toolTip().endsWith(backups->shortcut().toString(QKeySequence::NativeText) + ')'));

        // The backups key opens the backups window, whose F1 shows its section in the help window.
        QString shownSection;
        QTimer::singleShot(0, &f.window, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            // A modal window does not become active offscreen: its F1 key is pressed directly.
            if (auto* key = dialog->findChild<QShortcut*>("helpKey");
                key && key->key() == QKeySequence::HelpContents)
                emit key->activated();
            if (QWidget* help = f.helpWindow(*dialog))
                shownSection = help->findChild<QTextBrowser*>("txtHelp")->source().fragment();
            dialog->close();
        });
        QTest::keyClick(f.tree(), Qt::Key_B, Qt::ControlModifier);
        QTRY_COMPARE(shownSection, QStringLiteral("backups-window"));

        // The Help button shows the page of the language in the program's own window.
        f.window.toolbarButton("help")->trigger();
        QWidget* help = f.helpWindow(f.window);
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->findChild<QTextBrowser*>("txtHelp")->source(),
                 QUrl::fromLocalFile(userHelpFile(f.startup.files, f.texts)));
        QVERIFY(help->windowTitle().contains("Help"));
    }

    // Wine started and ended while the window and the backups window are open shows in both
    // without a refresh, the banner below the panels; On/Off tried meanwhile says why nothing changed.
    void wineStartedMeanwhileIsNoticedWithoutRefresh() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        test::selectEntry(f.window, test::entryNamed(f.window, "Tool"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger(); // a backup for the backups window
        frmBackup backups({f.services->platform, f.texts, f.boxes, f.services->files.dataFolder(), {}});
        backups.show();
        auto* list = test::control<QTreeWidget>(backups, "lvwBackups");
        QCOMPARE(list->topLevelItemCount(), 1);
        list->setCurrentItem(list->topLevelItem(0));
        auto* restore = test::control<QPushButton>(backups, "cmdRestore");
        QVERIFY(restore->isEnabled());

        const auto banner = test::control<QLabel>(f.window, "lblReadOnly");
        const auto panel = test::control<QWidget>(f.window, "fraInformation");
        auto server = std::make_unique<test::HeldServerLock>(f.prefix.path());
        QVERIFY(server->locked());
        const int wait = 3 * ReadOnlyWatch::kIntervalMs;
        QTRY_VERIFY_WITH_TIMEOUT(banner->isVisible(), wait);
        QVERIFY(banner->geometry().top() >= panel->mapTo(&f.window, panel->rect().bottomLeft()).y());
        for (const char* key : {"add", "edit", "activate", "delete"})
            QVERIFY2(!f.window.toolbarButton(key)->isEnabled(), key);
        QTRY_VERIFY_WITH_TIMEOUT(!restore->isEnabled(), wait);
        QVERIFY(!test::control<QPushButton>(backups, "cmdDelete")->isEnabled());
        test::selectEntry(f.window, test::entryNamed(f.window, "Other Tool With A Long Name"));
        const QByteArray before = f.prefix.readFile("user.reg");
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.runCommand("activate");
        QCOMPARE(f.boxes.shown().last().text,
                 f.texts.textForEntry("MsgWineRunningRefused", "Other Tool With A Long Name"));
        QCOMPARE(f.prefix.readFile("user.reg"), before);

        server.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!banner->isVisible(), wait);
        QVERIFY(f.window.toolbarButton("delete")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(restore->isEnabled(), wait);
    }

    // Every column shows its caption and all its contents (the program line only what fits, at least
    // its caption), at the opening size and at 800 x 600, where Active is still in sight; the tree's
    // captions are whole; the window never opens larger than its screen.
    void columnsAndCaptionsFitTheWindow() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        auto* list = test::control<QTreeView>(f.window, "lvwEntries");
        const QAbstractItemView* rows = list;
        f.window.resizeToOpeningSize();
        QVERIFY(f.window.frameGeometry().size().boundedTo(f.window.screen()->availableSize()) ==
                f.window.frameGeometry().size());
        for (const QSize size : {QSize(942, 566), QSize(800, 600)}) {
            f.window.resize(size);
            QTRY_COMPARE(f.window.size(), size);
            QApplication::processEvents();
            for (int column = 0; column < list->header()->count(); ++column) {
                const int width = list->columnWidth(column);
                QVERIFY2(width >= list->header()->sectionSizeHint(column),
                         qPrintable(QString::number(column)));
                if (column != 1)
                    QVERIFY2(width >= rows->sizeHintForColumn(column), qPrintable(QString::number(column)));
            }
            QVERIFY(list->header()->sectionViewportPosition(3) + list->columnWidth(3) <=
                    list->viewport()->width());
            const QAbstractItemView* tree = f.tree();
            QVERIFY(tree->sizeHintForColumn(0) <= f.tree()->viewport()->width());
        }
    }

    // A language chosen by its name, in any case, or by its own name; Qt's buttons and file chooser
    // follow it; a language that is not there is said, and English stays.
    void languageIsChosenByNameAndQtFollows() {
        const QString folder = kTree + "/Data/Languages";
        QCOMPARE(QFileInfo(languageFileOf("GERMAN", folder)).fileName(), QStringLiteral("german.lng"));
        QCOMPARE(QFileInfo(languageFileOf("deutsch", folder)).fileName(), QStringLiteral("german.lng"));
        QCOMPARE(languageFileOf(folder + "/english.lng", folder), folder + "/english.lng");
        QVERIFY(languageFileOf("klingon", folder).isEmpty() &&
                languageFileOf("/nowhere/german.lng", folder).isEmpty());

        QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
        const ProgramFiles files{kTree + "/Program"};
        LanguageTexts texts;
        settings.setValue("Settings/Language", "German");
        settings.sync();
        QVERIFY(loadUserLanguage(texts, files).isEmpty());
        installQtTranslations(texts);
        QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
        QCOMPARE(QFileDialog::tr("&Open"), QStringLiteral("&Öffnen"));

        settings.setValue("Settings/Language", "klingon");
        settings.sync();
        LanguageTexts fallback;
        const QString said = loadUserLanguage(fallback, files);
        settings.remove("Settings");
        QVERIFY2(said.contains("\"klingon\"") && said.contains("english"), qPrintable(said));
        QCOMPARE(fallback.getInfo("Language"), QStringLiteral("English"));
        installQtTranslations(fallback);
        QCOMPARE(
            QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::Yes).button(QMessageBox::Yes)->text(),
            QStringLiteral("&Yes"));
    }
};

QTEST_MAIN(WindowAccessTest)
#include "window_access_test.moc"
