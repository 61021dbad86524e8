// The main window as a keyboard user, a user of a small screen, a German user and a user who starts
// Wine meanwhile meet it, on real prefixes and the built program tree.
#include "gui/backup_window.h"
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
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

using namespace sw;

namespace {

const QString kTree = QStringLiteral(SW_BINARY_DIR "/StartWarden");

struct Fixture : test::MainWindowFixture {
    Fixture()
        : MainWindowFixture(
              {}, test::TempPrefix::runSection("\"Tool\"=\"C:\\\\Tools\\\\tool.exe\"\n"
                                               "\"Other Tool With A Long Name\"=\"C:\\\\x.exe\"\n")) {
        startup.files.programFolder = kTree + "/Program"; // with the help pages
        startWindow(QSize(1100, 566));
        window.show();
        window.activateWindow();
    }
    QTreeWidget* tree() { return test::control<QTreeWidget>(window, "tvwCategories"); }
    void key(int key, const char* category) {
        QTest::keyClick(tree(), Qt::Key(key));
        QTRY_VERIFY(!window.isLoading());
        QCOMPARE(tree()->currentItem()->data(0, Qt::UserRole).toString(), QLatin1String(category));
    }
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
        // The list follows the highlight; Return lists anew.
        f.key(Qt::Key_Down, "STARTMENU");
        QCOMPARE(test::entryCount(f.window), 0);
        f.key(Qt::Key_End, "RUNSERVICESONCE");
        f.key(Qt::Key_Home, "ALL");
        QCOMPARE(test::entryCount(f.window), 2);
        QVERIFY(
            f.prefix.writeFile("user.reg", f.prefix.readFile("user.reg").replace("\"Tool\"=", "\"Tool2\"=")));
        f.key(Qt::Key_Return, "ALL");
        QVERIFY(test::entryNamed(f.window, "Tool2").isValid());

        // Tab reaches the toolbar; the buttons' keys are shown in their tool tips.
        QWidget* refresh =
            test::control<QToolBar>(f.window, "tlbMain")->widgetForAction(f.window.toolbarButton("refresh"));
        for (int i = 0; i < 30 && QApplication::focusWidget() != refresh; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), refresh);
        QAction* backups = f.window.toolbarButton("backups");
        QVERIFY(backups->toolTip().endsWith(backups->shortcut().toString(QKeySequence::NativeText) + ')'));

        // The backups key opens the backups window, whose F1 shows its section in the help window.
        QString section;
        QTimer::singleShot(0, &f.window, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            // A modal window does not become active offscreen: its F1 key is pressed directly.
            if (auto* key = dialog->findChild<QShortcut*>("helpKey");
                key->key() == QKeySequence::HelpContents)
                emit key->activated();
            if (auto* help = dialog->findChild<QTextBrowser*>("txtHelp"))
                section = help->source().fragment();
            dialog->close();
        });
        QTest::keyClick(f.tree(), Qt::Key_B, Qt::ControlModifier);
        QTRY_COMPARE(section, QStringLiteral("backups-window"));
        f.window.toolbarButton("help")->trigger();
        QVERIFY(f.window.findChild<QTextBrowser*>("txtHelp")->isVisible());
    }

    // Wine started and ended while the window and the backups window are open shows in both without
    // a refresh, the banner below the panels; On/Off tried meanwhile says why nothing changed.
    void wineStartedMeanwhileIsNoticedWithoutRefresh() {
        Fixture f;
        test::selectEntry(f.window, test::entryNamed(f.window, "Tool"));
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.toolbarButton("delete")->trigger(); // a backup for the backups window
        frmBackup backups({f.services->platform, f.texts, f.boxes, f.services->files.dataFolder(), {}});
        backups.show();
        auto* list = test::control<QTreeWidget>(backups, "lvwBackups");
        list->setCurrentItem(list->topLevelItem(0));
        auto* restore = test::control<QPushButton>(backups, "cmdRestore");
        QVERIFY(restore->isEnabled());

        const auto banner = test::control<QLabel>(f.window, "lblReadOnly");
        const auto panel = test::control<QWidget>(f.window, "fraInformation");
        auto server = std::make_unique<test::HeldServerLock>(f.prefix.path());
        QVERIFY(server->locked());
        const int wait = 3 * ReadOnlyWatch::kIntervalMs;
        QTRY_VERIFY_WITH_TIMEOUT(banner->isVisible() && !restore->isEnabled(), wait);
        QCOMPARE(banner->text(), f.texts.getText("PrefixReadOnly"));
        QVERIFY(banner->y() >= panel->mapTo(&f.window, panel->rect().bottomLeft()).y());
        for (const char* key : {"add", "edit", "activate", "delete"})
            QVERIFY2(!f.window.toolbarButton(key)->isEnabled(), key);
        QVERIFY(!test::control<QPushButton>(backups, "cmdDelete")->isEnabled());
        const QString name = "Other Tool With A Long Name";
        test::selectEntry(f.window, test::entryNamed(f.window, name));
        const QByteArray before = f.prefix.readFile("user.reg");
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.runCommand("activate");
        QCOMPARE(f.boxes.shown().last().text, f.texts.textForEntry("MsgWineRunningRefused", name));
        QCOMPARE(f.prefix.readFile("user.reg"), before);

        server.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!banner->isVisible() && restore->isEnabled(), wait);
        QVERIFY(f.window.toolbarButton("delete")->isEnabled());
    }

    // Each column is as wide as its caption and its contents (the program line only as far as the
    // room goes), at the opening size and at 800 x 600, where Active is still in sight; the tree's
    // captions are whole; the window opens no larger than its screen.
    void columnsAndCaptionsFitTheWindow() {
        Fixture f;
        auto* list = f.window.findChild<QTreeView*>("lvwEntries");
        const QAbstractItemView* rows = list;
        f.window.resizeToOpeningSize();
        QVERIFY(f.window.screen()->availableSize().boundedTo(f.window.size()) == f.window.size());
        for (const QSize size : {QSize(1100, 566), QSize(800, 600)}) {
            f.window.resize(size);
            QApplication::processEvents();
            for (int column = 0; column < list->header()->count(); ++column) {
                QVERIFY(list->columnWidth(column) >= list->header()->sectionSizeHint(column));
                QVERIFY(column == 1 || list->columnWidth(column) >= rows->sizeHintForColumn(column));
            }
            // Every column is in sight at the opening size; at 800 x 600 at least up to Active.
            const int inSight = size.width() == 1100 ? list->header()->count() - 1 : 3;
            QVERIFY(list->header()->sectionViewportPosition(inSight) + list->columnWidth(inSight) <=
                    list->viewport()->width());
            const QAbstractItemView* tree = f.tree();
            QVERIFY(tree->sizeHintForColumn(0) <= f.tree()->viewport()->width());
        }
    }

    // A language is named in any case, by its file or its own name; Qt's buttons and file chooser
    // follow it; one that is not there is said, and English stays.
    void languageIsChosenByNameAndQtFollows() {
        const QString folder = kTree + "/Data/Languages";
        for (const char* name : {"GERMAN", "deutsch"})
            QCOMPARE(languageFileOf(name, folder), folder + "/german.lng");
        QVERIFY(languageFileOf("klingon", folder).isEmpty() &&
                languageFileOf("/nowhere/german.lng", folder).isEmpty());
        QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
        const auto load = [&](const char* language, LanguageTexts& texts) {
            settings.setValue("Settings/Language", language);
            settings.sync();
            const QString said = loadUserLanguage(texts, ProgramFiles{kTree + "/Program"});
            installQtTranslations(texts);
            return said;
        };
        const auto yes = [] {
            return QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::Yes).buttons()[0]->text();
        };
        LanguageTexts german, fallback;
        QVERIFY(load("German", german).isEmpty());
        QCOMPARE(yes(), QStringLiteral("&Ja"));
        QCOMPARE(QFileDialog::tr("&Open"), QStringLiteral("&Öffnen"));
        const QString said = load("klingon", fallback);
        settings.remove("Settings");
        QVERIFY2(said.contains("\"klingon\"") && fallback.getInfo("Language") == "English", qPrintable(said));
        QCOMPARE(yes(), QStringLiteral("&Yes"));
    }
};

QTEST_MAIN(WindowAccessTest)
#include "window_access_test.moc"
