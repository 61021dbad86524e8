#pragma once

#include "autostart_entry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace sw {

// The lines of a check list; nothing when the file does not exist or cannot be read.
std::optional<QStringList> readCheckList(const QString& path);

// Ghosts every row, then each line clears the mark of the first row still ghosted whose program text
// equals it (case-insensitive): a program that two rows start needs two lines, so a second entry of a
// known program is new once and known from the next start on.
void applyCheckList(const QStringList& lines, QList<AutostartEntry>& rows);

// Writes the program text of every row, one per line, UTF-8 with CR LF. The old file stays whole
// unless the new one was written completely. False when it could not be written.
bool writeCheckList(const QString& path, const QList<AutostartEntry>& rows);

} // namespace sw
