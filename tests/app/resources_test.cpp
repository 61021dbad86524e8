// What the windows take from the program's files: the drawings, and the help pages F1 opens.
#include "app/art.h"
#include "app/help_key.h"
#include "app/main_services.h"
#include "app/main_window.h"
#include "app/program_files.h"
#include "app/startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "recording_desktop.h"
#include "scripted_message_boxes.h"
#include "temp_prefix.h"

#include <QDialog>
#include <QDirIterator>
#include <QImage>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

using namespace sw;

namespace {

// The built program tree, so the help files are the shipped ones.
const ProgramFiles kBuiltTree{QStringLiteral(SW_BINARY_DIR "/StartWarden/Program")};

} // namespace

class ResourcesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Every key draws something, and a drawing added to the folder but not to a key would never be seen.
    void everyDrawingHasAKeyAndEveryKeyDraws() {
        QSet<QString> used;
        for (const QString& key : artKeys()) {
            used.insert(artPath(key).mid(QStringLiteral(":/art/").size()));
            QVERIFY2(!artIcon(key).isNull() && !artIcon(key).pixmap(16).isNull(), qPrintable(key));
            const QImage image = artPixmap(key, QSize(32, 32)).toImage();
            QImage blank(image.size(), image.format());
            blank.fill(Qt::transparent);
            QVERIFY2(!image.isNull() && image != blank, qPrintable(key));
        }
        const QString root = QStringLiteral(SW_SOURCE_DIR "/data/art/");
        QDirIterator it(root, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next().mid(root.size());
            QVERIFY2(used.contains(file), qPrintable(file));
        }
        // Keys are exact: the rating bars are asked for in capitals, at the size of the panel.
        QVERIFY(artPath(QStringLiteral("unknow")) != artPath(QStringLiteral("UNKNOW")));
        QVERIFY(artPixmap(QStringLiteral("normal"), QSize(24, 82)).isNull());
        QCOMPARE(artPixmap(QStringLiteral("NORMAL"), QSize(24, 82)).size(), QSize(24, 82));
    }

    // F1 in the main window, wherever the focus is, opens the help page of the loaded language.
    void mainWindowOpensTheHelpOfTheUsersLanguage() {
        LanguageTexts texts;
        QVERIFY(
            texts.LoadLanguage(kBuiltTree.programFolder + QStringLiteral("/../Data/Languages/german.lng")));
        const QString german = userHelpFile(kBuiltTree, texts);
        QVERIFY(german.endsWith(QLatin1String("/Help/german.html")));
        QVERIFY(
            userHelpFile(ProgramFiles{QStringLiteral("/nonexistent/Program")}, LanguageTexts()).isEmpty());

        test::TempPrefix prefix;
        ScriptedMessageBoxes boxes;
        auto desktop = std::make_shared<test::RecordingDesktop>();
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

    // A dialog's F1 opens its own section and not also the page of the window below it; without a
    // help file it opens nothing.
    void dialogOpensItsSectionOnly() {
        test::RecordingDesktop desktop;
        {
            QWidget noHelp;
            bindHelpKey(&noHelp, desktop, QString());
            noHelp.show();
            QVERIFY(QTest::qWaitForWindowActive(&noHelp));
            QTest::keyClick(&noHelp, Qt::Key_F1);
            QVERIFY(desktop.opened.isEmpty());
        }
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
};

QTEST_MAIN(ResourcesTest)
#include "resources_test.moc"
