#pragma once

#include <QList>
#include <QString>

namespace sw {

struct DescriptionDatabase;

// The four states of the information panel for the selected entry.
enum class EntryRating { ProgramMissing, NoRecord, Normal, Risk };

struct Link {
    QString text;
    QString address;

    bool operator==(const Link&) const = default;
};

// The 1-based index of the first search record whose file, company and name patterns all match
// the entry, or 0. The file part is the program column after its last "\" (arguments and
// quotes included); company and name are trimmed of blanks. Everything is compared upper-cased.
int findRecord(const DescriptionDatabase& database, const QString& programColumn, const QString& company,
               const QString& entryName);

// NoRecord for index 0, else Normal or Risk by the record's risk flag. ProgramMissing is decided
// before any lookup, by whoever checks the program file.
EntryRating ratingOfRecord(const DescriptionDatabase& database, int index);

// The links of a links text, as FillLinks adds them: items split at "|", each item's text before
// its first ";" and its address after it. An item without ";" ends the list there.
QList<Link> parseLinks(const QString& links);

} // namespace sw
