#pragma once

#include "entry_rating.h"

#include <QList>
#include <QString>

namespace sw {

struct AutostartEntry;
struct DescriptionDatabase;
struct Platform;

// What the information panel shows for one entry.
struct EntryInformation {
    EntryRating rating = EntryRating::ProgramMissing;
    QString programPath;
    // The rest is set only when the program was found.
    QString fileName;    // the program's file name
    QString productName; // version texts; empty without version information
    QString company;
    int record = 0; // 1-based index of the first matching record, 0 for none
    QString description;
    QList<Link> links;
};

// Takes the program the row was listed with, reads its version texts and rates it against the
// database.
EntryInformation describeEntry(const Platform& platform, const DescriptionDatabase& database,
                               const AutostartEntry& row);

} // namespace sw
