#pragma once

#include "db_source.h"

#include <QList>
#include <QStringList>

namespace sw::dbcompiler {

struct ExampleCheck {
    QStringList failures;       // "file:line: ..." for every example or friend that fails
    qsizetype withExamples = 0; // records that give at least one example
    qsizetype passing = 0;      // of those, records whose examples and friends all pass
};

// Rates every example and friend as the window would rate such an entry (writtenProgramLookup
// stands in for the files), against all records in their final order. An example must name a
// program and rate to its own record, with the record's example-company and example-name; a
// friend, with empty version texts and name, must not.
ExampleCheck checkExamples(const QList<SourceRecord>& records);

} // namespace sw::dbcompiler
