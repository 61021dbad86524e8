#pragma once

#include "autostart_entry.h"
#include "core_error.h"

#include <QString>
#include <cstdint>
#include <functional>

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

// The place of a category key: the place whose own category it is, else no place. Startup folders are looked
// up now, so a changed profile is followed.
EntryPlace entryPlaceOfCategory(const SystemInfo& system, const QString& categoryKey);

// The name field holds at most this many characters.
inline constexpr int kMaxEntryNameLength = 100;

// Why an entry cannot be written; each is also the language key of its message.
enum class EntryProblem { None, NoPlace, BadName, ProgramNotFound, EntryExists, FileProgramFixed };
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
class EntryRejected : public CoreError {
public:
    explicit EntryRejected(EntryProblem problem);
    EntryProblem problem() const { return m_problem; }

private:
    EntryProblem m_problem;
};

// A Startup file that is no shortcut (.bat, .cmd, .url, .exe, ...): the file is the program.
bool isPlainStartupFile(const AutostartEntry& row);
// Whether a program field names the same program as a row's program (blanks and enclosing quotes
// aside, regardless of case).
bool sameProgram(const QString& programField, const QString& program);

// What happens when the place already holds another entry of the name being written.
struct ReplaceRule {
    // Asked with the entry in the way; true replaces it. Unset: nothing is replaced.
    std::function<bool(const AutostartEntry& existing)> allowed;
    // Where the replaced entry's backup goes (the program's data folder).
    QString dataFolder;
};

// The tag and name a written entry is listed with, to find its row again.
struct WrittenEntry {
    QString tag;
    QString name;
    QString replacedBackup; // the backup of the entry it replaced; empty when it replaced none
};

// Writes an active entry into its place: a registry value (REG_SZ) holding the program field
// exactly as typed, or a shortcut to the resolved program file (arguments are not kept). A missing
// Startup folder is created. An entry of the same name already there is replaced only when the rule
// allows it, and backed up first as a deleted one is; else EntryRejected (EntryExists). Throws
// WriteRefused, EntryRejected, or the store's and file system's errors; a failed write leaves the
// place as it was.
WrittenEntry writeEntry(const Platform& platform, const QString& name, const QString& programField,
                        const EntryPlace& place, const ReplaceRule& replace = {});

// Edit: writes the new entry, then removes the old one (without a backup) unless the new one took
// its place. A failed write leaves the old entry untouched. What the user did not change is kept: a
// registry value's type (REG_EXPAND_SZ stays so), a shortcut's arguments, description and show
// command, and its working folder and icon unless they followed a changed program. A plain
// Startup file is renamed or moved (keeping its extension), or, moved to a registry key, named by
// its own path there and kept in its folder, inactive; its program cannot change (FileProgramFixed).
// A registry value that holds no text is refused (ValueNotText).
WrittenEntry replaceEntry(const Platform& platform, const AutostartEntry& old, const QString& name,
                          const QString& programField, const EntryPlace& place,
                          const ReplaceRule& replace = {});

} // namespace sw
