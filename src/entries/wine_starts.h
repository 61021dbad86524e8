#pragma once

#include "autostart_entry.h"
#include "places.h"

#include <QList>
#include <QString>

namespace sw {

class LanguageTexts;
struct Platform;

// The word for a WineStart in the command line's output: "start", "start-once", "boot", "never",
// "never-removed".
QString wineStartName(WineStart starts);
// The language key of its text in the window: "StartsEvery", "StartsNext", "StartsBoot",
// "StartsNever", "StartsNeverRemoved".
QString wineStartTextKey(WineStart starts);
// Whether the next start of Wine removes an entry that starts so.
bool removedAtNextStart(WineStart starts);

// When Wine starts a listed row, from its place in the table of places: an inactive row, and a
// registry value of another type than REG_SZ, as the place's inactive entries; never for a row of no
// place or of a key Wine does not read on the prefix.
WineStart wineStartOfRow(const AutostartEntry& row);

// What Wine runs, in its order: each place in turn, the values of a key from the last to the first
// (Wine walks a key backwards), the files of a folder sorted by name regardless of case.
struct WineRunOrder {
    QList<AutostartEntry> nextStart; // the next start of a session on the stopped prefix
    QList<AutostartEntry> nextBoot;  // a wineboot on the stopped prefix: its session's start first
};
WineRunOrder wineRunOrder(const QList<AutostartEntry>& rows);

// The rows of every place, in the order of the table.
QList<AutostartEntry> listAllPlaces(const Platform& platform, const LanguageTexts& texts);

// The rows the next start of Wine removes (the machine's RunOnce and RunServicesOnce, running the
// active ones), in Wine's order: what starting an entry's program on a stopped prefix would use up.
QList<AutostartEntry> rowsUsedUpByNextStart(const QList<AutostartEntry>& rows);

// What starting a program with Wine now would use up: the rows above while the prefix is stopped,
// none while a session runs on it (its start has run them already).
QList<AutostartEntry> rowsUsedUpByStartingWine(const Platform& platform, const LanguageTexts& texts);

// The names of rows, one per line as "name (place)", for a question that lists them.
QString namesOfRows(const QList<AutostartEntry>& rows);

} // namespace sw
