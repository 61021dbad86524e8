// The help pages and manual pages against what the programs themselves show: the commands and
// options of --help, the toolbar's captions in each language and the window's keys.
#include "gui/translate_form.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QShortcut>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>

using namespace sw;

namespace {

const QString kTree = QStringLiteral(SW_BINARY_DIR "/StartWarden");

QString read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

// Names sorted and each once, so that two lists compare as sets.
QStringList names(QStringList list) {
    list.sort();
    list.removeDuplicates();
    return list;
}

// Fails showing both lists, so that the name one side lacks is seen.
#define COMPARE_NAMES(documented, shown)                                                                     \
    QVERIFY2((documented) == (shown),                                                                        \
             qPrintable("documented: " + (documented).join(", ") + "\nshown:      " + (shown).join(", ")))

// What `program --help` lists: the commands under "Commands:" and the long options.
struct HelpOutput {
    QString text;
    QStringList commands;
    QStringList options;
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
                help.commands << match.captured(1);
        if (block == QLatin1String("Options:"))
            if (const auto match = option.match(line); match.hasMatch())
                help.options << match.captured(1);
    }
    // Qt's own variant of --help, for its platform options; not the program's to document.
    help.options.removeAll("--help-all");
    help.commands = names(help.commands);
    help.options = names(help.options);
    return help;
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
    static const QRegularExpression tag("<[^>]*>");
    for (const auto& match : row.globalMatch(found.captured(1)))
        cells << match.captured(1).remove(tag).replace("&amp;", "&").trimmed();
    return cells;
}

QStringList firstWords(const QStringList& cells) {
    QStringList words;
    for (const QString& cell : cells)
        words << cell.section(QLatin1Char(' '), 0, 0);
    return names(words);
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
        if (inSection && tagNext)
            tags << line.remove(QRegularExpression("\\\\f[BIRP]"))
                        .section(QLatin1Char(' '), 1)
                        .replace("\\-", "-");
        tagNext = line == QLatin1String(".TP");
    }
    return tags;
}

QStringList longOptionsIn(const QStringList& tags) {
    QStringList options;
    static const QRegularExpression option("--[\\w-]+");
    for (const QString& tag : tags)
        for (const auto& match : option.globalMatch(tag))
            options << match.captured();
    return names(options);
}

// The main window as the program starts it, on an empty prefix.
struct Window : test::MainWindowFixture {
    Window() : MainWindowFixture({}, {}) { startWindow(); }

    QStringList captionsIn(const QString& languageFile) {
        LanguageTexts language;
        if (!language.loadLanguage(kTree + "/Data/Languages/" + languageFile))
            qFatal("cannot load %s", qPrintable(languageFile));
        translateForm(&window, language);
        QStringList captions;
        for (QAction* action : test::control<QToolBar>(window, "tlbMain")->actions())
            if (!action->objectName().isEmpty())
                captions << action->text();
        return names(captions);
    }

    QStringList keys() const {
        QStringList keys;
        for (const QShortcut* shortcut : window.findChildren<QShortcut*>())
            keys << shortcut->key().toString(QKeySequence::PortableText);
        for (const QAction* action : window.findChildren<QAction*>())
            if (!action->shortcut().isEmpty())
                keys << action->shortcut().toString(QKeySequence::PortableText);
        return names(keys);
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
            COMPARE_NAMES(names(documented), w.captionsIn(language));
            QCOMPARE(names(documented).size(), documented.size());
        }
    }

    // The English page and the window's manual page name the keys as Qt writes them; the German
    // page names the same number of keys in German.
    void helpAndManualNameTheWindowsKeys() {
        const QStringList keys = Window().keys();
        QVERIFY(keys.contains("F1"));
        const QStringList english = firstCells(read(kTree + "/Help/english.html"), "key-table");
        COMPARE_NAMES(names(english), keys);
        QCOMPARE(firstCells(read(kTree + "/Help/german.html"), "key-table").size(), keys.size());
        const QStringList manual = manualTags(read(SW_BINARY_DIR "/man/startwarden.1"), "KEYS");
        COMPARE_NAMES(names(manual), keys);
    }
};

QTEST_MAIN(HelpConsistencyTest)
#include "help_consistency_test.moc"
