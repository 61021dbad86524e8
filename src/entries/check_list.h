#pragma once

#include "autostart_entry.h"

#include <QList>
#include <QString>

namespace sw {

// Ghosts every row, then clears the mark of the first row (case-insensitive program text) that each
// line of the check list names. Does nothing when the file does not exist or cannot be read.
void applyCheckList(const QString& path, QList<AutostartEntry>& rows);

// Writes the program text of every row, one per line, UTF-8 with CR LF. The old file stays whole
// unless the new one was written completely. False when it could not be written.
bool writeCheckList(const QString& path, const QList<AutostartEntry>& rows);

} // namespace sw
