// The help pages and manual pages against what the programs themselves show: the commands and
// options of --help, the toolbar's captions in each language and the window's keys.
#include "app/main_services.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/translate_form.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "scripted_message_boxes.h"
#include "temp_prefix.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QShortcut>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace sw;

namespace {

const QString kTree = QStringLiteral(SW_BINARY_DIR "/StartWarden");
using Names = QSet<QString>;

QString read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

// What `program --help` lists: the commands under "Commands:" and the long options.
struct HelpOutput {
    QString text;
    Names commands;
    Names options;
};

HelpOutput helpOf(const QString& program) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(program, {"--help"});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("%s --help failed", qPrintable(program));
    HelpOutput help;
    help.text = QString::fromLocal8Bit(process.readAllStandardOutput());
    QString block;
    static const QRegularExpression command("^  (\\S+)");
    static const QRegularExpression option("^\\s+(?:-\\S, )*(--[\\w-]+)");
    for (const QString& line : help.text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || !line.startsWith(QLatin1Char(' '))) {
            block = line.trimmed();
            continue;
        }
        if (block == QLatin1String("Commands:"))
            if (const auto match = command.match(line); match.hasMatch())
                help.commands.insert(match.captured(1));
        if (block == QLatin1String("Options:"))
            if (const auto match = option.match(line); match.hasMatch())
                help.options.insert(match.captured(1));
    }
    // Qt's own variant of --help, for its platform options; not the program's to document.
    help.options.remove("--help-all");
    return help;
}

QString plainText(QString html) {
    html.remove(QRegularExpression("<[^>]*>"));
    return html.replace("&amp;", "&").trimmed();
}

// The first cell of every row of the table with this id, as plain text.
QStringList firstCells(const QString& page, const QString& tableId) {
    const QRegularExpression table(QStringLiteral("<table id=\"%1\">(.*?)</table>").arg(tableId),
                                   QRegularExpression::DotMatchesEverythingOption);
    const auto found = table.match(page);
    if (!found.hasMatch())
        qFatal("no table %s", qPrintable(tableId));
    QStringList cells;
    static const QRegularExpression row("<tr><td>(.*?)</td>");
    for (const auto& match : row.globalMatch(found.captured(1)))
        cells << plainText(match.captured(1));
    return cells;
}

Names firstWords(const QStringList& cells) {
    Names words;
    for (const QString& cell : cells)
        words.insert(cell.section(QLatin1Char(' '), 0, 0));
    return words;
}

// The tag lines (after .TP) of a manual page's section, with roff's escaped hyphens plain.
QStringList manualTags(const QString& page, const QString& section) {
    QStringList tags;
    bool inSection = false;
    bool tagNext = false;
    for (QString line : page.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String(".SH "))) {
            inSection = line.mid(4).trimmed() == section;
            continue;
        }
        if (!inSection)
            continue;
        if (tagNext) {
            line.remove(QRegularExpression("\\\\f[BIRP]"));
            tags << line.section(QLatin1Char(' '), 1).replace("\\-", "-");
        }
        tagNext = line == QLatin1String(".TP");
    }
    return tags;
}

Names longOptionsIn(const QStringList& tags) {
    Names options;
    static const QRegularExpression option("--[\\w-]+");
    for (const QString& tag : tags)
        for (const auto& match : option.globalMatch(tag))
            options.insert(match.captured());
    return options;
}

QString describe(const Names& names) {
    QStringList sorted(names.begin(), names.end());
    sorted.sort();
    return sorted.join(", ");
}

// Fails naming what one side has and the other lacks.
#define COMPARE_NAMES(documented, shown)                                                                     \
    QVERIFY2((documented) == (shown),                                                                        \
             qPrintable(QStringLiteral("documented only: [%1]; shown only: [%2]")                            \
                            .arg(describe((documented) - (shown)), describe((shown) - (documented)))))

// The main window as the program starts it, on an empty prefix, with a program folder of its own.
struct Window {
    test::TempPrefix prefix;
    QTemporaryDir programFolder;
    LanguageTexts texts;
    ScriptedMessageBoxes boxes;
    MainServices services{
        makeWineGuiPlatform(prefix.path()), texts, boxes, ProgramFiles{programFolder.path()}, {}};
    frmMain window;

    Window() {
        window.setServices(&services);
        fillMainWindow(window, services);
    }

    Names captionsIn(const QString& languageFile) {
        LanguageTexts language;
        if (!language.LoadLanguage(kTree + "/Data/Languages/" + languageFile))
            qFatal("cannot load %s", qPrintable(languageFile));
        TranslateForm(&window, language);
        Names captions;
        for (QAction* action : window.tlbMain->actions())
            if (!action->objectName().isEmpty())
                captions.insert(action->text());
        return captions;
    }

    Names keys() const {
        Names keys;
        for (const QShortcut* shortcut : window.findChildren<QShortcut*>())
            keys.insert(shortcut->key().toString(QKeySequence::PortableText));
        return keys;
    }
};

} // namespace

class HelpConsistencyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The help pages and the manual pages list exactly the commands and long options of --help.
    void documentationListsTheCommandsAndOptionsOfHelp() {
        const HelpOutput cli = helpOf(kTree + "/Program/startwarden-cli");
        QVERIFY(cli.commands.contains("list"));
        for (const char* page : {"english.html", "german.html"}) {
            const QString html = read(kTree + "/Help/" + page);
            COMPARE_NAMES(firstWords(firstCells(html, "commands")), cli.commands);
            COMPARE_NAMES(firstWords(firstCells(html, "options")), cli.options);
        }
        const QString cliPage = read(SW_BINARY_DIR "/man/startwarden-cli.1");
        COMPARE_NAMES(firstWords(manualTags(cliPage, "COMMANDS")), cli.commands);
        COMPARE_NAMES(longOptionsIn(manualTags(cliPage, "OPTIONS")), cli.options);

        const HelpOutput window = helpOf(kTree + "/Program/startwarden");
        QVERIFY(window.commands.isEmpty());
        COMPARE_NAMES(longOptionsIn(manualTags(read(SW_BINARY_DIR "/man/startwarden.1"), "OPTIONS")),
                      window.options);
#ifdef SW_REPORTS_PROGRAM
        const HelpOutput reports = helpOf(SW_REPORTS_PROGRAM);
        const QString reportsPage = read(SW_BINARY_DIR "/man/startwarden-reports.1");
        // Its help names its one command in the usage lines, not in a "Commands:" list.
        for (const QString& command : firstWords(manualTags(reportsPage, "COMMANDS")))
            QVERIFY2(reports.text.contains(' ' + command + ' '), qPrintable(command));
        COMPARE_NAMES(longOptionsIn(manualTags(reportsPage, "OPTIONS")), reports.options);
#endif
    }

    void helpPagesNameEveryToolbarButtonByItsCaption() {
        Window w;
        for (const auto& [language, page] :
             {std::pair("english.lng", "english.html"), std::pair("german.lng", "german.html")}) {
            const QStringList documented = firstCells(read(kTree + "/Help/" + page), "toolbar-buttons");
            QCOMPARE(documented.size(), Names(documented.begin(), documented.end()).size());
            COMPARE_NAMES(Names(documented.begin(), documented.end()), w.captionsIn(language));
        }
    }

    // The English page and the window's manual page name the keys as Qt writes them; the German
    // page names the same number of keys in German.
    void helpAndManualNameTheWindowsKeys() {
        const Names keys = Window().keys();
        QVERIFY(keys.contains("F1"));
        const QStringList english = firstCells(read(kTree + "/Help/english.html"), "key-table");
        COMPARE_NAMES(Names(english.begin(), english.end()), keys);
        QCOMPARE(firstCells(read(kTree + "/Help/german.html"), "key-table").size(), keys.size());
        const QStringList manual = manualTags(read(SW_BINARY_DIR "/man/startwarden.1"), "KEYS");
        COMPARE_NAMES(Names(manual.begin(), manual.end()), keys);
    }
};

QTEST_MAIN(HelpConsistencyTest)
#include "help_consistency_test.moc"
