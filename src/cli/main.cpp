#include "base/program_files.h"
#include "cli_context.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"
#include "row_format.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>

namespace sw::cli {

// Messages name entries, whose names may hold control characters: shown, never obeyed.
int fail(int status, const QString& message) {
    std::fprintf(stderr, "startwarden-cli: %s\n", printableLine(message).constData());
    return status;
}

void say(const QString& line) {
    std::printf("%s\n", printableLine(line).constData());
}

void print(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

bool confirmed(Context& context, const QString& textKey, const QString& name) {
    if (context.parser.isSet(QStringLiteral("yes")))
        return true;
    QString question = context.texts.getText(textKey);
    question.replace(QStringLiteral("%ENTRY%"), name);
    std::fprintf(stderr, "%s [y/N] ", printableLine(question).constData());
    std::fflush(stderr);
    QTextStream input(stdin);
    QString answer;
    if (!input.readLineInto(&answer))
        std::fputc('\n', stderr); // no answer at all: end the question's line
    answer = answer.trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

int holdWriting(Context& context, std::shared_ptr<void>& hold) {
    hold = context.platform.holdWriting();
    return hold ? kDone : fail(kWineRunning, context.texts.getText(QStringLiteral("MsgPrefixBusy")));
}

namespace {

struct Command {
    const char* name;
    const char* usage;
    std::function<int(Context&)> run;
};

const QList<Command>& commands() {
    static const QList<Command> all{
        {"list", "list [CATEGORY]        the rows a category lists (default ALL)",
         [](Context& c) { return runListCommand(c, false); }},
        {"info",
         "info [CATEGORY]        the same rows with their rating, title, company, description and links",
         [](Context& c) { return runListCommand(c, true); }},
        {"disable",
         "disable NAME           deactivate an entry (\"REM \" before its data, or the hidden mark)",
         [](Context& c) { return runEntryCommand(c, QStringLiteral("disable")); }},
        {"enable", "enable NAME            activate an entry again",
         [](Context& c) { return runEntryCommand(c, QStringLiteral("enable")); }},
        {"delete", "delete NAME            back an entry up, then delete it",
         [](Context& c) { return runEntryCommand(c, QStringLiteral("delete")); }},
        {"run",
         "run NAME [--consume-runonce]\n"
         "                         start an entry's program with Wine",
         [](Context& c) { return runEntryCommand(c, QStringLiteral("run")); }},
        {"add",
         "add NAME --program COMMANDLINE --place CATEGORY [--replace]\n"
         "                         write a new entry into one of the places",
         [](Context& c) { return runAddCommand(c); }},
        {"edit",
         "edit NAME [--place CATEGORY] [--name NEWNAME] [--program COMMANDLINE] [--to CATEGORY] [--replace]\n"
         "                         rewrite an entry: rename it, change its program or move it",
         [](Context& c) { return runEditCommand(c); }},
        {"backups",
         "backups                the backups of deleted entries: name, program, group, row key, tag, and\n"
         "                         \"shared\" for one an earlier version kept for every prefix",
         [](Context& c) { return runBackupsCommand(c); }},
        {"restore",
         "restore NAME [--replace]\n"
         "                         put a backup back in its place under its original name",
         [](Context& c) { return runBackupCommand(c, QStringLiteral("restore")); }},
        {"purge", "purge NAME             delete a backup for good",
         [](Context& c) { return runBackupCommand(c, QStringLiteral("purge")); }},
        {"report", "report NAME            send an entry to the report endpoint (ReportHost)",
         runReportCommand},
        {"boot",
         "boot                   what the next start of Wine on the prefix and the next wineboot run,\n"
         "                         in Wine's order: when, name, program, place, tag, when Wine starts it",
         runBootCommand},
        // Works on no chosen prefix: main runs it before choosing one.
        {"prefixes",
         "prefixes               the Wine prefixes found on this machine: name, source, folder, entries,\n"
         "                         whether Wine runs on it",
         nullptr},
    };
    return all;
}

QString description() {
    QString text = QStringLiteral("Lists and manages the autostart entries of a Wine prefix.\n\nCommands:\n");
    for (const Command& command : commands())
        text += QStringLiteral("  ") + QLatin1String(command.usage) + QLatin1Char('\n');
    text += QStringLiteral(
        "\nNAME is an entry's name as list shows it. Exit status: 0 done, 1 no such entry, "
        "the name stands in several places or --prefix names several prefixes, 2 bad arguments or not a "
        "Wine prefix, 3 Wine "
        "runs on the prefix or another StartWarden writes it, 4 the change failed (list, info: a "
        "Startup folder cannot be read), 5 not confirmed (run: RunOnce entries in the way), 6 the report "
        "could not be sent. add "
        "and edit refuse a program that cannot be found with status 1; add, edit and restore refuse an "
        "entry of the same name in the target place with status 1 unless --replace is given.");
    return text;
}

// What a command writes is on disk when it returns: freeing a listing's thousands of rows and
// cached paths one by one would only delay the exit.
[[noreturn]] void finish(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace

} // namespace sw::cli

int main(int argc, char** argv) {
    using namespace sw::cli;
    // A listing makes many small objects on two threads: the heap grows in large steps, so that
    // growing it is not a system call (and a lock the other thread's page faults wait for) every
    // few hundred rows. Untouched room costs nothing.
    mallopt(M_TOP_PAD, 16 << 20);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("startwarden-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SW_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("prefix"),
         QStringLiteral("The Wine prefix (default: $WINEPREFIX, else ~/.wine): its folder, or its name as "
                        "prefixes lists it."),
         QStringLiteral("DIR")},
        {QStringLiteral("all-prefixes"),
         QStringLiteral("list, info: list every prefix prefixes finds, its name in the first column.")},
        {QStringLiteral("json"),
         QStringLiteral("list, info, backups, boot, prefixes: print JSON instead of tab-separated lines.")},
        {QStringLiteral("place"),
         QStringLiteral(
             "Look for NAME only in this category (LOCAL RUN, ALL USERS, ...); needed when the name "
             "stands in several places. add: the place to write the entry to."),
         QStringLiteral("CATEGORY")},
        {QStringLiteral("group"),
         QStringLiteral("restore, purge: look for NAME only among the backups of this group (SMLocalUsr, "
                        "SMAllUsr, LURun, LURunOnce, AURun, AURun32, AURunOnce, AURunOnce32, "
                        "AURunServices, AURunServicesOnce)."),
         QStringLiteral("LABELKEY")},
        {QStringLiteral("yes"), QStringLiteral("Do not ask before changing or starting anything.")},
        {QStringLiteral("consume-runonce"),
         QStringLiteral("run: start Wine on the stopped prefix even though its start runs and removes the "
                        "machine's RunOnce and RunServicesOnce entries.")},
        {QStringLiteral("notice"), QStringLiteral("report: a note on the entry, sent as its details."),
         QStringLiteral("TEXT")},
        {QStringLiteral("dry-run"), QStringLiteral("report: print the address and send nothing.")},
        {QStringLiteral("program"), QStringLiteral("add, edit: the entry's command line."),
         QStringLiteral("COMMANDLINE")},
        {QStringLiteral("name"), QStringLiteral("edit: the entry's new name."), QStringLiteral("NEWNAME")},
        {QStringLiteral("replace"),
         QStringLiteral("add, edit, restore: replace an entry of the same name in the target place; it is "
                        "backed up first, as a deleted one is.")},
        {QStringLiteral("to"),
         QStringLiteral("edit: move the entry to this place (LOCAL RUN, ALL USERS, ...)."),
         QStringLiteral("CATEGORY")},
    });
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands above."));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("The command's arguments."),
                                 QStringLiteral("[arguments...]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(kUsageError, parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return fail(kUsageError, QStringLiteral("no command given; try --help"));
    const QString name = arguments.takeFirst();
    const auto& all = commands();
    const auto command =
        std::find_if(all.begin(), all.end(), [&](const Command& c) { return name == QLatin1String(c.name); });
    if (command == all.end())
        return fail(kUsageError, QStringLiteral("unknown command \"%1\"; try --help").arg(name));

    sw::LanguageTexts texts;
    if (const QString problem =
            sw::loadUserLanguage(texts, sw::ProgramFiles{QCoreApplication::applicationDirPath()});
        !problem.isEmpty())
        std::fprintf(stderr, "startwarden-cli: %s\n", sw::printableLine(problem).constData());
    if (!command->run)
        finish(runPrefixesCommand(parser, arguments, texts));
    if (parser.isSet(QStringLiteral("all-prefixes"))) {
        if (name != QLatin1String("list") && name != QLatin1String("info"))
            return fail(kUsageError, QStringLiteral("--all-prefixes goes with list and info only"));
        finish(runAllPrefixesCommand(parser, arguments, texts, name == QLatin1String("info")));
    }
    // An empty --prefix (an unset variable in a script) is a mistake, never the default prefix.
    if (parser.isSet(QStringLiteral("prefix")) && parser.value(QStringLiteral("prefix")).isEmpty())
        return fail(kUsageError, texts.getText(QStringLiteral("MsgNoPrefixGiven")));
    QString folder;
    if (const int status = choosePrefixFolder(parser, folder))
        return status;
    const sw::WinePrefix prefix(folder);
    if (!prefix.isValid())
        return fail(kUsageError, prefix.problem());
    const sw::ProgramFiles files{QCoreApplication::applicationDirPath(), prefix.folder()};
    Context context{parser,
                    arguments,
                    files,
                    texts,
                    sw::makeWinePlatform(prefix.folder()),
                    parser.isSet(QStringLiteral("json")),
                    QString()};
    finish(command->run(context));
}
