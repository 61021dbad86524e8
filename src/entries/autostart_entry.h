#pragma once

#include <QString>
#include <cstdint>

namespace sw {

// One row of the entry list.
struct AutostartEntry {
    QString name;            // value name, or file name with extension
    QString program;         // command line without a leading "REM ", a shortcut's target, or the file's path
    QString programFile;     // the program file the row starts, found once when it is listed;
                             // empty when a bare name was not found or the line cannot be taken apart
    QString arguments;       // a shortcut's arguments, which the rating sees after its target
    bool valid = false;      // the program file was found
    bool active = true;      // no "REM " prefix, no hidden mark
    bool plainString = true; // not a registry value of another type than REG_SZ, which Wine never starts
    bool readByWine = true;  // false in the 32-bit view of a 32-bit prefix, a key Wine never reads
    QString placeLabel;      // the language text of the place's backup kind
    QString backupKind;      // the place, for the program's own use
    QString rowKey;          // non-empty exactly for registry rows
    QString tag;             // EntryTag for registry rows, the file's full path for Startup folder rows
    bool ghosted = false;

    bool isRegistryEntry() const { return !rowKey.isEmpty(); }
};

// "root;key path", the root as a signed decimal 32-bit integer.
QString makeEntryTag(std::int32_t root, const QString& keyPath);
// The root before the first ";". Throws std::invalid_argument for a tag without ";" or a bad number.
std::int32_t getTagRoot(const QString& tag);
// Everything after the first ";"; the whole text when there is none.
QString getTagKey(const QString& tag);
// The text after the last "\" (or "/", for host paths); the whole text when there is none.
QString getFileNameFromPath(const QString& path);

} // namespace sw

// Its members move by plain copying of their bytes, so lists of thousands of rows grow in place.
Q_DECLARE_TYPEINFO(sw::AutostartEntry, Q_RELOCATABLE_TYPE);
