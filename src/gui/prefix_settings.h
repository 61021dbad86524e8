#pragma once

#include "prefixes/found_prefix.h"

#include <QString>
#include <QStringList>

namespace sw {

struct ProgramFiles;

// The window's memory of prefixes, in the per-user settings file: the folders the user opened
// with "Open folder…" and the prefix used last.
QStringList addedPrefixFolders();
// Adds folder to the added ones unless it is there already.
void rememberAddedPrefix(const QString& folder);
QString lastUsedPrefix();
void rememberLastUsedPrefix(const QString& folder);

// Where the chooser looks on this machine: the user's home, $WINEPREFIX and the added folders.
PrefixSearchPlaces userPrefixSearchPlaces();

// The demo prefix the build writes beside the program tree, when it is there; empty otherwise.
QString demoPrefixFolder(const ProgramFiles& files);

// The name the window shows for the prefix in folder: its name among the found prefixes, else
// the folder's own name.
QString prefixNameOf(const QString& folder, const std::vector<FoundPrefix>& found);

} // namespace sw
