#pragma once

#include "autostart_entry.h"

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace sw {

struct Platform;
class SystemInfo;

// Where a new entry goes: a registry key (root not 0) or a Startup folder (root 0, key the
// folder's managed path). An empty key is no place.
struct EntryPlace {
    std::int32_t root = 0;
    QString key;

    bool isChosen() const { return !key.isEmpty(); }
    bool isStartupFolder() const { return root == 0 && isChosen(); }
};

// The place of a category key: one of the six places, else no place. Startup folders are looked
// up now, so a changed profile is followed.
EntryPlace entryPlaceOfCategory(const SystemInfo& system, const QString& categoryKey);

// The name field holds at most this many characters.
inline constexpr int kMaxEntryNameLength = 100;

// Why an entry cannot be written; each is also the language key of its message.
enum class EntryProblem { None, NoPlace, BadName, ProgramNotFound };
QString problemTextKey(EntryProblem problem);

// The program check: the program file the field names (the trimmed text naming an existing file,
// else the file the command line resolves to), or empty when there is none. Hidden files do not
// count.
QString findProgramFile(const Platform& platform, const QString& programField);

// The file name of a shortcut for an entry name: ".lnk" appended unless it ends exactly so.
QString shortcutFileName(const QString& trimmedName);

// What stops the entry from being written now; None when nothing does.
EntryProblem checkEntry(const Platform& platform, const QString& name, const QString& programField,
                        const EntryPlace& place);

// Raised before any write when checkEntry finds a problem.
class EntryRejected : public std::runtime_error {
public:
    explicit EntryRejected(EntryProblem problem);
    EntryProblem problem() const { return m_problem; }

private:
    EntryProblem m_problem;
};

// The tag and name a written entry is listed with, to find its row again.
struct WrittenEntry {
    QString tag;
    QString name;
};

// Writes an active entry into its place: a registry value holding the program field exactly as
// typed, or a shortcut to the resolved program file (arguments are not kept). A missing Startup
// folder is created. Throws WriteRefused, EntryRejected, or the store's and file system's errors;
// a failed write leaves the place as it was.
WrittenEntry WriteEntry(const Platform& platform, const QString& name, const QString& programField,
                        const EntryPlace& place);

// Edit: writes the new entry, then removes the old one (without a backup) unless the new one took
// its place. A failed write leaves the old entry untouched.
WrittenEntry replaceEntry(const Platform& platform, const AutostartEntry& old, const QString& name,
                          const QString& programField, const EntryPlace& place);

} // namespace sw
