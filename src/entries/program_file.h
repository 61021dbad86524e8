#pragma once

#include "autostart_entry.h"

namespace sw {

struct Platform;

// Finds the program file of a row from its program text, once, and decides the Valid column from
// it; the icon and the information panel take both from the row. A registry row's program is its
// data when that names a file, else what the command line resolves to; a Startup folder row's
// program is its text (a shortcut's target or the file itself) and must also hold some bytes.
void resolveProgramFile(const Platform& platform, AutostartEntry& row);

} // namespace sw
