#pragma once

#include "found_prefix.h"

#include <QProcessEnvironment>
#include <QStringList>

class QSettings;

namespace sw {

// The folders the user added as prefixes, kept in the per-user settings (~/.config/Tidyra/Tidyra.conf,
// "Prefixes/Added"), in the order they were added.
QStringList addedPrefixFolders(const QSettings& settings);
QStringList addedPrefixFolders();
// Adds folder (made absolute and clean) unless it is there already; removes it. Written at once.
void addPrefixFolder(QSettings& settings, const QString& folder);
void addPrefixFolder(const QString& folder);
void removePrefixFolder(QSettings& settings, const QString& folder);
void removePrefixFolder(const QString& folder);

// The prefix the window used last ("Prefixes/LastUsed"), where it starts when no prefix is named.
QString lastUsedPrefix();
void rememberLastUsedPrefix(const QString& folder);

// Where this user's prefixes are looked for: $HOME (else the home folder), $WINEPREFIX and the
// added folders.
PrefixSearchPlaces userPrefixSearchPlaces(const QProcessEnvironment& environment);

} // namespace sw
