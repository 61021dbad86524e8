#pragma once

#include "db_source.h"

#include <QList>

namespace sw::dbcompiler {

// Checks that need the records in their final order (files in name order, records in file order):
// - a record for a file name of three characters or fewer, or for any file at all, needs a
//   company or entry-name pattern other than "*", or it describes unrelated programs too;
// - a record that an earlier record always matches first can never be shown, so it is refused
//   with both places named.
void checkRecords(const QList<SourceRecord>& records, Diagnostics& diagnostics);

// True when the file pattern, with company and name both "*", would describe unrelated programs:
// its name before the first literal "." has three or fewer characters ("GMT.EXE*", "AIM*.EXE*";
// a list, "?" or "#" counts as one, "*" as none), or it is made of "*" only. A pattern that starts
// with "*" or "." ("*.AHK*") matches by extension or an inner name and is not a short name.
bool isShortFilePattern(const QString& filePattern);

} // namespace sw::dbcompiler
