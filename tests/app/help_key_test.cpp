#include "app/help_key.h"
#include "app/main_services.h"
#include "app/main_window.h"
#include "app/program_files.h"
#include "app/startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "scripted_message_boxes.h"
#include "temp_prefix.h"

#include <QDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

using namespace sw;

namespace {

class RecordingDesktop : public DesktopServices {
public:
    QStringList opened;
    void startCommandLine(const QString&) override {}
    bool openUrl(const QString& address) override {
        opened << address;
        return true;
    }
    bool openServiceConsole() override { return false; }
};

// The built program tree, so the help files are the shipped ones.
const ProgramFiles kBuiltTree{QStringLiteral(SW_BINARY_DIR "/StartWarden/Program")};

} // namespace

class HelpKeyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // F1 in the main window, wherever the focus is, opens the help page of the loaded language.
    void mainWindowOpensTheHelpOfTheUsersLanguage() {
        LanguageTexts texts;
        QVERIFY(
            texts.LoadLanguage(kBuiltTree.programFolder + QStringLiteral("/../Data/Languages/german.lng")));
        const QString german = userHelpFile(kBuiltTree, texts);
        QVERIFY(german.endsWith(QLatin1String("/Help/german.html")));

        test::TempPrefix prefix;
        ScriptedMessageBoxes boxes;
        auto desktop = std::make_shared<RecordingDesktop>();
        MainServices services{makeWineGuiPlatform(prefix.path()), texts, boxes, kBuiltTree, {}};
        services.platform.desktop = desktop;
        frmMain window;
        window.setServices(&services);
        fillMainWindow(window, services);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.lvwEntries->setFocus();
        QTest::keyClick(window.lvwEntries, Qt::Key_F1);
        QCOMPARE(desktop->opened, QStringList{QUrl::fromLocalFile(german).toString()});
    }

    // A dialog's F1 opens its own section and does not also open the page of the window below it.
    void dialogOpensItsSectionOnly() {
        RecordingDesktop desktop;
        QWidget owner;
        bindHelpKey(&owner, desktop, QStringLiteral("/opt/help/english.html"));
        owner.show();
        QDialog dialog(&owner);
        auto* field = new QLineEdit(&dialog);
        // Bound again (a dialog that is translated anew), the key opens the newest page once.
        bindHelpKey(&dialog, desktop, QStringLiteral("/opt/help/german.html"), QStringLiteral("backups"));
        bindHelpKey(&dialog, desktop, QStringLiteral("/opt/help/english.html"), QStringLiteral("backups"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F1);
        QCOMPARE(desktop.opened, QStringList{QStringLiteral("file:///opt/help/english.html#backups")});
    }

    void noHelpFileOpensNothing() {
        RecordingDesktop desktop;
        QWidget window;
        bindHelpKey(&window, desktop, QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        QVERIFY(desktop.opened.isEmpty());
        QVERIFY(
            userHelpFile(ProgramFiles{QStringLiteral("/nonexistent/Program")}, LanguageTexts()).isEmpty());
    }
};

QTEST_MAIN(HelpKeyTest)
#include "help_key_test.moc"
