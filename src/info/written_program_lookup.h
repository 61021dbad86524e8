#pragma once

#include <QString>

namespace sw {

struct ProgramLookup;

// Takes a command line apart without a system to ask, as the database compiler checks its examples:
// - environment names have the values of a default Windows 10/11 installation for a user "user"
//   (SystemRoot and windir C:\Windows, ProgramFiles C:\Program Files, APPDATA
//   C:\Users\user\AppData\Roaming, ...);
// - a path exists when the line starts with it (after blanks and an opening quote) and it ends in a
//   program extension (.exe, .com, .bat, .cmd, .scr, .pif), so an unquoted path with blanks ends at
//   the first candidate that ends in one;
// - a bare name is found in C:\Windows\System32 when the line starts with it and it ends in a program
//   extension, or is written without ".exe" ("rundll32 x.dll,Run").
ProgramLookup writtenProgramLookup(const QString& commandLine);

} // namespace sw
