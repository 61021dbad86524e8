#pragma once

#include "db_source.h"

#include <QList>
#include <QString>

namespace sw::dbcompiler {

// The coverage report of `sw-dbcompile --stats`: record counts in total, by source file and by
// language (records with a non-empty text), and how many have links, a company or entry-name
// pattern other than "*", the risk flag, examples and passing examples. One "label: count" per
// line.
QString coverageReport(const QList<SourceRecord>& records);

} // namespace sw::dbcompiler
