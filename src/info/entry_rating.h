#pragma once

#include <QList>
#include <QString>

namespace sw {

struct CommandLine;
struct DescriptionDatabase;
struct ProgramLookup;

// The four states of the information panel for the selected entry.
enum class EntryRating { ProgramMissing, NoRecord, Normal, Risk };

struct Link {
    QString text;
    QString address;

    bool operator==(const Link&) const = default;
};

// What a record's three patterns are matched against, upper-cased. The file pattern matches when it
// matches the program text or the run text.
struct RatingSubject {
    QString programText; // from the program's file name to the end of the line, arguments and quotes kept
    QString runText;     // what a known host runs (see CommandLine::runText); empty for other programs
    QString company;     // the program's CompanyName, trimmed of blanks
    QString entryName;   // the Run value's or the Startup file's name, trimmed of blanks
};

RatingSubject ratingSubject(const CommandLine& parsed, const QString& company, const QString& entryName);

// The 1-based index of the first search record whose patterns all match, or 0. Uses the
// database's index over the records' literal parts; findRecordByScan tries every record in turn
// and gives the same answer.
int findRecord(const DescriptionDatabase& database, const RatingSubject& subject);
int findRecordByScan(const DescriptionDatabase& database, const RatingSubject& subject);

// Takes the command line apart as Windows starts it and finds its first record: what the window,
// the command line and the database compiler's example check all use.
int rateCommandLine(const DescriptionDatabase& database, const QString& commandLine, const QString& company,
                    const QString& entryName, const ProgramLookup& lookup);

// The command line a Startup folder file is rated as: its quoted target (or the file itself),
// a blank and the shortcut's arguments when it has any.
QString startupCommandLine(const QString& target, const QString& arguments);

// NoRecord for index 0, else Normal or Risk by the record's risk flag. ProgramMissing is decided
// before any lookup, by whoever checks the program file.
EntryRating ratingOfRecord(const DescriptionDatabase& database, int index);

// The links of a links text, as fillLinks adds them: items split at "|", each item's text before
// its first ";" and its address after it. An item without ";" ends the list there.
QList<Link> parseLinks(const QString& links);

} // namespace sw
