// The prefix chooser on a home of its own without ~/.wine: the window opens with it, a chosen prefix
// is listed at once and named in the title, the prefix left behind gets its check list, and a folder
// opened by hand is remembered or, when it is no prefix, refused with a sentence; a home of every
// launcher is listed as the command line lists it.
#include "fake_home.h"
#include "gui/prefix_dialog.h"
#include "gui/prefix_settings.h"
#include "main_window_fixture.h"
#include "prefixes/prefix_settings.h"
#include "recording_desktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace sw;
using test::TempPrefix;

namespace {

QString canonical(const TempPrefix& prefix) {
    return QFileInfo(prefix.path()).canonicalFilePath();
}

// The window as the program starts it when no prefix is named and there is no ~/.wine.
struct Session {
    QTemporaryDir tree; // a build tree: StartWarden/Program, the help beside it, CMakeCache.txt
    LanguageTexts texts;
    ScriptedMessageBoxes boxes;
    MainServices services{
        makeWineGuiPlatform({}), texts, boxes, ProgramFiles{tree.filePath("StartWarden/Program")}, {}};
    frmMain window;

    frmPrefixes* open() {
        addPrefixChooserButton(window, services, test::winePrefixOpener());
        window.show();
        frmPrefixes* chooser = openPrefixChooser(window, services, test::winePrefixOpener());
        if (!QTest::qWaitForWindowActive(chooser))
            qFatal("the chooser did not open");
        return chooser;
    }
    QTreeWidget* list(const frmPrefixes* chooser) const {
        return test::control<QTreeWidget>(*chooser, "lvwPrefixes");
    }
    // Selects the row of that folder and presses Return as a user does; waits for the window's listing.
    void choose(frmPrefixes* chooser, const QString& path) {
        QTreeWidget* rows = list(chooser);
        for (int i = 0; i < rows->topLevelItemCount(); ++i)
            if (rows->topLevelItem(i)->text(2) == path)
                rows->setCurrentItem(rows->topLevelItem(i));
        QTest::keyClick(rows, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isLoading(), 60000);
    }
};

} // namespace

class PrefixChooserTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QSettings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra")).clear(); }

    void opensWithTheChooserAndSwitchesBetweenAddedPrefixes() {
        const TempPrefix alpha(
            {}, TempPrefix::runSection("\"Alpha1\"=\"C:\\\\a.exe\"\n\"Alpha2\"=\"C:\\\\b.exe\"\n"));
        const TempPrefix beta(TempPrefix::runSection("\"Beta\"=\"C:\\\\c.exe\"\n"));
        addPrefixFolder(canonical(alpha));
        addPrefixFolder(canonical(beta));
        Session s;
        frmPrefixes* chooser = s.open();
        QTreeWidget* rows = s.list(chooser);
        QCOMPARE(rows->topLevelItemCount(), 2);
        QCOMPARE(QApplication::focusWidget(), rows);
        QVERIFY(!test::control<QLabel>(*chooser, "lblNoPrefix")->isVisible());
        QVERIFY(!test::control<QPushButton>(*chooser, "cmdDemo")->isVisible());
        // Every control tells a screen reader the caption it shows.
        for (const QPushButton* button : chooser->findChildren<QPushButton*>())
            QCOMPARE(button->accessibleName(), QString(button->text()).remove('&'));
        QCOMPARE(rows->accessibleName(), s.texts.getText("PrefixList").remove('&').chopped(1));
        QTRY_VERIFY(!chooser->isCounting());
        QCOMPARE(rows->topLevelItem(0)->text(3), "2");
        QCOMPARE(rows->topLevelItem(1)->text(3), "1");
        QCOMPARE(rows->topLevelItem(1)->text(4), s.texts.getText("No"));

        s.choose(chooser, canonical(beta));
        QCOMPARE(test::entryColumn(s.window, 0), QStringList{"Beta"});
        QVERIFY(s.window.windowTitle().contains(QFileInfo(beta.path()).fileName()));
        QCOMPARE(lastUsedPrefix(), canonical(beta));

        // The button opens the chooser on the prefix shown; the one left gets its check list first.
        s.window.findChild<QAction*>("prefixes")->trigger();
        chooser = test::control<frmPrefixes>(s.window, "frmPrefixes");
        QCOMPARE(s.list(chooser)->currentItem()->text(2), canonical(beta));
        s.choose(chooser, canonical(alpha));
        QCOMPARE(test::entryColumn(s.window, 0), (QStringList{"Alpha1", "Alpha2"}));
        QVERIFY(s.window.windowTitle().contains(QFileInfo(alpha.path()).fileName()));
        QVERIFY(QFileInfo::exists(beta.hostPath("startwarden/Check.dat")));
    }

    void openFolderRefusesAFolderThatIsNoPrefixAndRemembersOneThatIs() {
        QTemporaryDir plain;
        const TempPrefix gamma(TempPrefix::runSection("\"Gamma\"=\"C:\\\\g.exe\"\n"));
        Session s;
        frmPrefixes* chooser = s.open();
        // Nothing found: said so, and the way out has the focus.
        QVERIFY(test::control<QLabel>(*chooser, "lblNoPrefix")->isVisible());
        QVERIFY(!test::control<QPushButton>(*chooser, "cmdOk")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), test::control<QPushButton>(*chooser, "cmdOpenFolder"));

        QString picked = plain.path();
        chooser->setFolderPicker([&](QWidget*, const QString&) { return picked; });
        chooser->openFolder();
        QCOMPARE(s.boxes.shown().size(), 1);
        QCOMPARE(s.boxes.shown()[0].text, s.texts.getText("MsgNotAPrefix").replace("%PATH%", plain.path()));
        QVERIFY(chooser->isVisible());

        picked = gamma.path();
        chooser->openFolder();
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.isLoading(), 60000);
        QCOMPARE(test::entryColumn(s.window, 0), QStringList{"Gamma"});
        QCOMPARE(addedPrefixFolders(), QStringList{canonical(gamma)});
    }

    // Beside a build tree the demo prefix the build writes is offered; F1 opens the chooser's help.
    void offersTheDemoOfABuildTreeAndItsHelp() {
        const TempPrefix demo(TempPrefix::runSection("\"Demo Sync\"=\"C:\\\\d.exe\"\n"));
        Session s;
        QVERIFY(QFile::link(demo.path(), s.tree.filePath("demo-prefix")));
        for (const char* folder : {"StartWarden/Program", "StartWarden/Help"})
            QVERIFY(QDir().mkpath(s.tree.filePath(folder)));
        for (const char* file : {"CMakeCache.txt", "StartWarden/Help/english.html"})
            QVERIFY(QFile(s.tree.filePath(file)).open(QIODevice::WriteOnly));
        frmPrefixes* chooser = s.open();
        QTest::keyClick(s.list(chooser), Qt::Key_F1);
        auto* help = chooser->findChild<QTextBrowser*>("txtHelp");
        QVERIFY(help);
        QVERIFY(help->source().toString().endsWith("/StartWarden/Help/english.html#prefixes"));
        test::control<QPushButton>(*chooser, "cmdDemo")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.isLoading(), 60000);
        QCOMPARE(test::entryColumn(s.window, 0), QStringList{"Demo Sync"});
        QVERIFY(s.window.windowTitle().startsWith(s.texts.getText("PrefixDemoName") + " "));
    }

    // Closed without a choice while the window shows no prefix, the chooser closes the window too.
    void cancellingWithoutAPrefixClosesTheWindow() {
        Session s;
        frmPrefixes* chooser = s.open();
        test::control<QPushButton>(*chooser, "cmdCancel")->click();
        QTRY_VERIFY(!s.window.isVisible());
    }

    // A home of every launcher: the chooser lists what the command line lists, with each tool's name.
    void listsThePrefixesOfEveryLauncher() {
        QTemporaryDir dir;
        const test::FakeHome home(QFileInfo(dir.path()).canonicalFilePath());
        QVERIFY(home.fillWithEverySource());
        const QByteArray ownHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        Session s;
        frmPrefixes* chooser = s.open();
        qputenv("HOME", ownHome);
        const QHash<QString, QString> sourceKeys{
            {"wine", "PrefixFromWine"},           {"steam", "PrefixFromSteam"},
            {"lutris", "PrefixFromLutris"},       {"bottles", "PrefixFromBottles"},
            {"heroic", "PrefixFromHeroic"},       {"playonlinux", "PrefixFromPlayOnLinux"},
            {"crossover", "PrefixFromCrossOver"}, {"added", "PrefixFromAdded"}};
        QStringList expected;
        for (const QString& line : test::FakeHome::everySourceListing()) {
            const QStringList parts = line.split('|');
            expected << parts[0] + '|' + s.texts.getText(sourceKeys.value(parts[1])) + '|' +
                            home.path(parts[2]);
        }
        const QTreeWidget* rows = s.list(chooser);
        QStringList listed;
        for (int i = 0; i < rows->topLevelItemCount(); ++i)
            listed << QStringList{rows->topLevelItem(i)->text(0), rows->topLevelItem(i)->text(1),
                                  rows->topLevelItem(i)->text(2)}
                          .join('|');
        QCOMPARE(listed, expected);
        QTRY_VERIFY(!chooser->isCounting());
        chooser->reject();
    }
};

int main(int argc, char** argv) {
    // A home of the test's own, fixed before anything reads the settings file's place.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("WINEPREFIX");
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_CACHE_HOME");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    PrefixChooserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "prefix_chooser_test.moc"
