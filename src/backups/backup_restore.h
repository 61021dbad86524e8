#pragma once

#include "backup_list.h"
#include "entries/core_error.h"

#include <QString>
#include <cstdint>

namespace sw {

struct Platform;

// A restore that was not done; the backup is where it was. The message key names the one-sentence
// text for the user ("%ENTRY%" stands for the backup's name).
class RestoreFailed : public CoreError {
public:
    RestoreFailed(const QString& messageKey, const std::string& reason)
        : CoreError(reason), m_messageKey(messageKey) {}
    const QString& messageKey() const { return m_messageKey; }

private:
    QString m_messageKey;
};

// A restore refused because an entry of the backup's original name is in its place and replacing it
// was not asked for. Nothing was written.
class RestoreTargetTaken : public RestoreFailed {
public:
    explicit RestoreTargetTaken(const std::string& reason)
        : RestoreFailed(QStringLiteral("MsgRestoreTaken"), reason) {}
};

struct RestoreOutcome {
    QString target;         // the restored file's managed path, or root name & "\" & key path
    QString leftBehind;     // why the backup could not be removed after the restore; empty when it was
    QString replacedBackup; // where the entry it replaced was backed up; empty when none was there
};

// Whether an entry of the backup's original name is in the backup's place now. False when the
// place cannot be named (the restore then refuses anyway).
bool restoreTargetTaken(const Platform& platform, const BackupRow& row);

enum class RestoreMode {
    KeepExisting,    // refuse (RestoreTargetTaken) when an entry of the name is in the place
    ReplaceExisting, // back that entry up into dataFolder's records, as a deletion would, then replace it
};

// Puts a backup back in its place under its original name: the copy is complete (file on disk with
// its attributes, value written) before the backup goes, so an interrupted restore leaves the entry
// in its place, in its backup, or in both. The row's group (labelKey) names the place. Throws WriteRefused
// before any write while the system cannot be written, RestoreFailed when the target cannot be named, is
// taken (RestoreTargetTaken), the replaced entry cannot be backed up or the copy fails.
RestoreOutcome restoreBackup(const Platform& platform, const BackupRow& row, const QString& dataFolder,
                             RestoreMode mode);

// Deletes a backup for good, a read-only file too. Throws the file system's or the registry's
// error, or WriteRefused.
void deleteBackup(const Platform& platform, const BackupRow& row);

} // namespace sw
