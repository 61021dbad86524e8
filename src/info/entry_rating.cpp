#include "info/entry_rating.h"

#include "info/description_database.h"
#include "info/pattern_match.h"

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

bool matches(const QString& text, const QString& pattern) {
    return matchesPattern(text, pattern, PatternCase::Upper);
}

} // namespace

int findRecord(const DescriptionDatabase& database, const QString& programColumn, const QString& company,
               const QString& entryName) {
    const QString filePart = toPatternCase(programColumn.mid(programColumn.lastIndexOf(u'\\') + 1));
    const QString companyText = toPatternCase(trimBlanks(company));
    const QString nameText = toPatternCase(trimBlanks(entryName));
    for (int index = 1; index <= database.count(); ++index) {
        const SearchRecord& record = database.search(index);
        // The file pattern rejects nearly every record, so it goes first.
        if (matches(filePart, record.filePattern) && matches(companyText, record.companyPattern) &&
            matches(nameText, record.namePattern))
            return index;
    }
    return 0;
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
