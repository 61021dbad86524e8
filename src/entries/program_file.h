#pragma once

#include "autostart_entry.h"

#include <QList>

namespace sw {

struct Platform;

// Finds the program file of a row from its program text, once, and decides the Valid column from
// it; the icon and the information panel take both from the row. A registry row's program is its
// data when that names a file, else what the command line resolves to; a Startup folder row's
// program is its text (a shortcut's target or the file itself) and must also hold some bytes.
void resolveProgramFile(const Platform& platform, AutostartEntry& row);

// The small icon of a row's program; a null icon when the program was not found or has none.
QIcon programIcon(const Platform& platform, const AutostartEntry& row);

// Gives every row its icon, reading each program's icon once.
void fillProgramIcons(const Platform& platform, QList<AutostartEntry>& rows);

} // namespace sw
