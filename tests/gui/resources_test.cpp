// What the program takes from its files: the shipped language files, the texts loaded from them and the
// setting naming the file; the drawings; the help pages a language names and F1 shows.
#include "base/program_files.h"
#include "fixture_bytes.h"
#include "gui/art.h"
#include "gui/help_key.h"
#include "gui/main_services.h"
#include "gui/main_window.h"
#include "gui/startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "recording_desktop.h"
#include "scripted_message_boxes.h"
#include "temp_prefix.h"
#include "window_controls.h"

#include <QDialog>
#include <QDirIterator>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

using namespace sw;

namespace {

const QString kLanguageDir = QStringLiteral(SW_SOURCE_DIR "/data/languages");
const QStringList kLanguageFiles{QStringLiteral("english.lng"), QStringLiteral("german.lng")};

LanguageFile load(const QString& name) {
    LanguageFile file;
    if (!readLanguageFile(kLanguageDir + QLatin1Char('/') + name, file))
        qFatal("cannot read %s", qPrintable(name));
    return file;
}

QStringList placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%[A-Z]+%"));
    QStringList found;
    for (const auto& match : placeholder.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

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

    // F1 in the main window, wherever the focus is, shows the help page of the loaded language in the
    // program's own help window; a link out of the help goes to the desktop.
    void mainWindowShowsTheHelpOfTheUsersLanguage() {
        LanguageTexts texts;
        QVERIFY(
            texts.loadLanguage(kBuiltTree.programFolder + QStringLiteral("/../Data/Languages/german.lng")));
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
        test::entryList(window)->setFocus();
        QTest::keyClick(test::entryList(window), Qt::Key_F1);
        auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("txtHelp"));
        QVERIFY(browser && browser->isVisible());
        QCOMPARE(browser->source(), QUrl::fromLocalFile(german));
        QCOMPARE(browser->window()->windowTitle(), QStringLiteral("StartWarden-Hilfe"));
        QVERIFY(desktop->opened.isEmpty());
        emit browser->anchorClicked(QUrl(QStringLiteral("https://example.com/a")));
        QCOMPARE(desktop->opened, QStringList{QStringLiteral("https://example.com/a")});
    }

    // A dialog's F1 shows its own section, in a help window that answers beside the modal dialog;
    // without a help file it shows nothing.
    void dialogShowsItsSectionOnly() {
        test::RecordingDesktop desktop;
        {
            QWidget noHelp;
            bindHelpKey(&noHelp, desktop, QString());
            noHelp.show();
            QVERIFY(QTest::qWaitForWindowActive(&noHelp));
            QTest::keyClick(&noHelp, Qt::Key_F1);
            QVERIFY(!noHelp.findChild<QWidget*>(QStringLiteral("frmHelp")));
        }
        const QString page = kBuiltTree.programFolder + QStringLiteral("/../Help/english.html");
        QWidget owner;
        bindHelpKey(&owner, desktop, page);
        owner.show();
        QDialog dialog(&owner);
        auto* field = new QLineEdit(&dialog);
        // Bound again (a dialog that is translated anew), the key shows the newest page once.
        bindHelpKey(&dialog, desktop, QStringLiteral("/opt/help/german.html"), QStringLiteral("backups"));
        bindHelpKey(&dialog, desktop, page, QStringLiteral("backups"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F1);
        auto* browser = dialog.findChild<QTextBrowser*>(QStringLiteral("txtHelp"));
        QVERIFY(browser && !owner.findChild<QWidget*>(QStringLiteral("frmHelp"), Qt::FindDirectChildrenOnly));
        QCOMPARE(browser->source().fragment(), QStringLiteral("backups"));
        QVERIFY(browser->verticalScrollBar()->value() > 0);
        QVERIFY(desktop.opened.isEmpty());
    }

    // Both languages have the same keys, each with a text and the same placeholders: a placeholder lost
    // in translation shows the user a message without the entry it is about. Every key the sources name
    // exists, and the texts an entry is put into hold its placeholder.
    void languagesHaveTheKeysTheProgramAsksFor() {
        const LanguageFile english = load(QStringLiteral("english.lng"));
        const LanguageFile german = load(QStringLiteral("german.lng"));
        const auto keys = [](const LanguageFile& file) {
            return QSet<QString>(file.texts.keyBegin(), file.texts.keyEnd());
        };
        const QSet<QString> en = keys(english), de = keys(german);
        QVERIFY2(en == de, qPrintable(QStringList((en - de).values() + (de - en).values()).join(' ')));
        for (auto it = english.texts.cbegin(); it != english.texts.cend(); ++it)
            QVERIFY2(placeholders(it.value()) == placeholders(german.texts.value(it.key())) &&
                         !it.value().trimmed().isEmpty() && !german.texts.value(it.key()).trimmed().isEmpty(),
                     qPrintable(it.key()));
        // The parser quietly drops a malformed line and a repeated key, which would turn a typo into a
        // missing text: every line that is no comment or section header must give a text of its own.
        for (const QString& name : kLanguageFiles) {
            int lines = 0;
            for (const QByteArray& raw :
                 test::fileBytes(kLanguageDir + QLatin1Char('/') + name).split('\n')) {
                const QByteArray line = raw.trimmed();
                lines += !line.isEmpty() && !line.startsWith('#') && !line.startsWith('[');
            }
            const LanguageFile file = load(name);
            QCOMPARE(lines, int(file.texts.size() + file.info.size()));
        }

        static const QRegularExpression asked(
            QStringLiteral("(getText|textForEntry)\\((?:QStringLiteral\\(|QLatin1String\\()?\"(\\w+)\""));
        QDirIterator sources(QStringLiteral(SW_SOURCE_DIR "/src"), {QStringLiteral("*.cpp")}, QDir::Files,
                             QDirIterator::Subdirectories);
        int found = 0;
        while (sources.hasNext()) {
            QFile source(sources.next());
            QVERIFY(source.open(QIODevice::ReadOnly));
            for (const auto& match : asked.globalMatch(QString::fromUtf8(source.readAll()))) {
                const QString key = match.captured(2);
                QVERIFY2(english.texts.contains(key), qPrintable(key + " in " + source.fileName()));
                if (match.captured(1) == QLatin1String("textForEntry"))
                    QVERIFY2(english.texts.value(key).contains(QLatin1String("%ENTRY%")), qPrintable(key));
                ++found;
            }
        }
        QVERIFY(found > 20);
    }

    // The backups window finds a backup's restore place by its label, so two equal labels would
    // send a backup to the wrong place.
    void placeLabelsDifferAndInfoNamesExistingFiles() {
        for (const QString& name : kLanguageFiles) {
            const LanguageFile file = load(name);
            QSet<QString> labels;
            for (const char* key : {"LURun", "LURunOnce", "AURun", "AURunOnce", "SMLocalUsr", "SMAllUsr"})
                labels.insert(file.texts.value(QLatin1String(key)));
            QCOMPARE(labels.size(), 6);
            QVERIFY2(!file.info.value(QStringLiteral("Language")).isEmpty(), qPrintable(name));
            const QString help = file.info.value(QStringLiteral("HelpFile"));
            QVERIFY2(!help.isEmpty() && QFile::exists(QStringLiteral(SW_SOURCE_DIR "/data/help/") + help),
                     qPrintable(name));
        }
    }

    // A loaded file wins; a key it lacks comes from the built-in English (the shipped file), else the
    // key itself shows.
    void loadedTextsFallBackToEnglishThenTheKey() {
        QTemporaryDir dir;
        LanguageTexts texts;
        QVERIFY(texts.loadLanguage(test::writeBytes(
            dir.filePath("german.lng"), "# comment\n[Info]\nHelpFile = german.html\n[Texts]\nYes=Ja\n"
                                        "MsgTwoLines=eins\\nzwei \\\\ drei\n"
                                        "MsgDeleteReq=Delete %ENTRY% now? (%ENTRY%)\n")));
        QCOMPARE(texts.getText("Yes"), QStringLiteral("Ja"));
        QCOMPARE(texts.getText("MsgTwoLines"), QStringLiteral("eins\nzwei \\ drei"));
        QCOMPARE(texts.getInfo("HelpFile"), QStringLiteral("german.html"));
        QCOMPARE(texts.getText("MainWinTit"), QStringLiteral("Tidyra StartWarden"));
        QCOMPARE(texts.getText("NoSuchKeyAnywhere"), QStringLiteral("NoSuchKeyAnywhere"));
        // An entry name is put in once, even when it holds the placeholder itself.
        QCOMPARE(texts.textForEntry("MsgDeleteReq", "100% %ENTRY%"),
                 QStringLiteral("Delete 100% %ENTRY% now? (100% %ENTRY%)"));
        QVERIFY(texts.loadLanguage(kLanguageDir + QStringLiteral("/german.lng")));
        QCOMPARE(texts.textForEntry(QStringLiteral("MsgDeleteReq"), QStringLiteral("Tool"))
                     .count(QStringLiteral("„Tool“")),
                 1);
        QCOMPARE(LanguageTexts().getInfo(QStringLiteral("HelpFile")), QStringLiteral("english.html"));

        for (const QByteArray& bad :
             {QByteArray(), QByteArray("\xff\xfe\x00garbage\x00\x01", 12),
              QByteArray("no equals sign\n=value only\n[Texts\n"), QByteArray(1000, '[')}) {
            LanguageTexts damaged;
            damaged.loadLanguage(test::writeBytes(dir.filePath("bad.lng"), bad));
            QCOMPARE(damaged.getText("Yes"), QStringLiteral("Yes"));
        }
        LanguageTexts none;
        QVERIFY(!none.loadLanguage(dir.filePath("missing.lng")));
        QVERIFY(!none.loadLanguage(dir.path())); // a folder
        QCOMPARE(none.getText("Yes"), QStringLiteral("Yes"));
    }

    void settingNamesTheLanguageFileAndIsNeverWritten() {
        const QString fallback = QStringLiteral("/nowhere/english.lng");
        QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
        settings.remove(QStringLiteral("Settings"));
        settings.sync();
        QCOMPARE(languageSetting(fallback), fallback);
        settings.setValue(QStringLiteral("Settings/Language"), QStringLiteral("/tmp/german.lng"));
        settings.sync();
        QCOMPARE(languageSetting(fallback), QStringLiteral("/tmp/german.lng"));
        const QString file = settings.fileName();
        const QDateTime before = QFileInfo(file).lastModified();
        languageSetting(fallback);
        QCOMPARE(QFileInfo(file).lastModified(), before);
        settings.clear();
        settings.sync();
        // An unreadable settings file gives the default.
        QFile(file).open(QIODevice::WriteOnly);
        QFile::setPermissions(file, QFileDevice::Permissions());
        QVERIFY(!languageSetting(fallback).isEmpty());
        QFile::remove(file);
    }

    void helpFilesStayInsideTheHelpFolder() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("Program");
        QDir(dir.path()).mkpath("Help");
        test::writeBytes(dir.filePath("Help/english.html"), "<html/>");
        test::writeBytes(dir.filePath("secret.txt"), "x");
        QFile::link(dir.filePath("secret.txt"), dir.filePath("Help/link.html"));
        const ProgramFiles files{dir.filePath("Program")};
        QCOMPARE(files.helpFile("english.html"),
                 QFileInfo(dir.filePath("Help/english.html")).canonicalFilePath());
        for (const char* outside : {"../secret.txt", "/etc/passwd", "missing.html", "", "link.html"})
            QVERIFY2(files.helpFile(outside).isEmpty(), outside);
    }
};

QTEST_MAIN(ResourcesTest)
#include "resources_test.moc"
