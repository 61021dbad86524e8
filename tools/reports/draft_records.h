#pragma once

#include "report_store.h"

#include <QList>
#include <QString>

namespace sw::reports {

// The file pattern a record for this command line starts from: the file name after the last "\",
// upper-cased, with pattern characters in it taken literally, followed by "*" for the arguments.
QString draftFilePattern(const QString& program);

// The reports as [record] sections of the database source format, each after comments that say
// what was reported. The descriptions are left empty for the maintainer to write, and the risk is
// "?", which the compiler refuses until the maintainer has judged the program.
QString draftRecords(const QList<StoredReport>& reports);

} // namespace sw::reports
