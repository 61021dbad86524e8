#pragma once

#include "base/program_files.h"
#include "entries/autostart_entry.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QStringList>

namespace sw {
struct DescriptionDatabase;
}

namespace sw::cli {

// Exit statuses of every command.
enum Status {
    kDone = 0,
    kNoSuchEntry = 1,  // no entry of that name, or the name stands in several places
    kUsageError = 2,   // bad arguments, or the folder is not a Wine prefix
    kWineRunning = 3,  // a write refused because Wine runs on the prefix, or another writer holds it
    kChangeFailed = 4, // the managed system refused the change; nothing was lost
    kNotConfirmed = 5, // the question was answered with no
    kNotSent = 6,      // no report server answered
};

// What a command works with.
struct Context {
    const QCommandLineParser& parser;
    QStringList arguments; // positional arguments after the command's name
    ProgramFiles files;
    LanguageTexts& texts;
    Platform platform;
    bool json = false;
    QString prefixName; // with --all-prefixes: the first column of each row, its "prefix" in JSON
};

// Prints "startwarden-cli: message" to the error stream and gives status back.
int fail(int status, const QString& message);
// Prints a line to the standard output.
void say(const QString& line);
void print(const QByteArray& bytes);
// Asks the language's question about the named entry on the terminal; true for "y" or "yes", and
// always with --yes.
bool confirmed(Context& context, const QString& textKey, const QString& name);

// Makes this process the prefix's only writer while hold lives, waiting a few seconds for another
// writer; kWineRunning with the language's sentence when that one still writes then.
int holdWriting(Context& context, std::shared_ptr<void>& hold);

// kDone unless a Startup file's name holds "\\" or "/": such a name does not name one file of its
// folder, so it is listed but never written (kChangeFailed with the language's sentence).
int refuseUnwritableName(Context& context, const QString& name, bool isFile);

// Checks that the arguments name one entry and that --place names a category (default ALL).
int entryArguments(Context& context, const QString& command, QString& category);
// The one row of that name in the category: exactly as listed, else ignoring case.
int findEntry(Context& context, const QString& name, const QString& category, AutostartEntry& found);

// What list and info print, gathered over one prefix or all of them.
struct ListOutput {
    QByteArray lines;
    QJsonArray objects;
};
// The category list and info were given (default ALL), checked.
int listedCategory(const QStringList& arguments, QString& category);
void loadDatabase(const ProgramFiles& files, const LanguageTexts& texts, DescriptionDatabase& database);
// Lists the category of the context's prefix into out, rated against database when given; tab-separated
// lines are printed whenever enough are gathered. kChangeFailed when a Startup folder cannot be read.
int listInto(Context& context, const QString& category, const DescriptionDatabase* database, ListOutput& out);

// The commands, each in its own file.
int runListCommand(Context& context, bool withInformation);
int runEntryCommand(Context& context, const QString& command);
int runAddCommand(Context& context);
int runEditCommand(Context& context);
int runBackupsCommand(Context& context);
// restore and purge.
int runBackupCommand(Context& context, const QString& command);
int runReportCommand(Context& context);
int runBootCommand(Context& context);

// prefixes, and list and info with --all-prefixes: they work on every found prefix, without one chosen.
int runPrefixesCommand(const QCommandLineParser& parser, const QStringList& arguments, LanguageTexts& texts);
int runAllPrefixesCommand(const QCommandLineParser& parser, const QStringList& arguments,
                          LanguageTexts& texts, bool withInformation);
// The folder --prefix names: the value as a folder when that exists, else the found prefix of that
// name (ignoring case); kNoSuchEntry with the candidates when the name stands for several.
int choosePrefixFolder(const QCommandLineParser& parser, QString& folder);

} // namespace sw::cli
