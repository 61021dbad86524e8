#include "info/entry_rating.h"

#include "info/description_database.h"
#include "info/pattern_match.h"
#include "info/record_index.h"
#include "platform/command_line.h"

namespace sw {

namespace {

// Trims spaces only: tabs and other white space are part of the text being rated.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

RatingSubject ratingSubject(const CommandLine& parsed, const QString& company, const QString& entryName) {
    return RatingSubject{toPatternCase(programText(parsed)), toPatternCase(parsed.runText),
                         toPatternCase(trimBlanks(company)), toPatternCase(trimBlanks(entryName))};
}

int findRecord(const DescriptionDatabase& database, const RatingSubject& subject) {
    if (database.isEmpty())
        return 0;
    return database.recordIndex().firstMatch(database.searchTable, subject);
}

int findRecordByScan(const DescriptionDatabase& database, const RatingSubject& subject) {
    for (int index = 1; index <= database.count(); ++index) {
        if (recordMatches(database.search(index), subject))
            return index;
    }
    return 0;
}

int rateCommandLine(const DescriptionDatabase& database, const QString& commandLine, const QString& company,
                    const QString& entryName, const ProgramLookup& lookup) {
    return findRecord(database, ratingSubject(parseCommandLine(commandLine, lookup), company, entryName));
}

QString startupCommandLine(const QString& target, const QString& arguments) {
    QString line = QLatin1Char('"') + target + QLatin1Char('"');
    if (!arguments.isEmpty())
        line += QLatin1Char(' ') + arguments;
    return line;
}

EntryRating ratingOfRecord(const DescriptionDatabase& database, int index) {
    if (index < 1 || index > database.count())
        return EntryRating::NoRecord;
    return database.search(index).risk != 0 ? EntryRating::Risk : EntryRating::Normal;
}

QList<Link> parseLinks(const QString& links) {
    QList<Link> result;
    for (const QString& item : links.split(u'|')) {
        const qsizetype separator = item.indexOf(u';');
        if (separator < 0)
            break;
        result.append(Link{item.left(separator), item.mid(separator + 1)});
    }
    return result;
}

} // namespace sw
