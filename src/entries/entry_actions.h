#pragma once

#include "autostart_entry.h"
#include "core_error.h"

#include <QString>

namespace sw {

struct Platform;

// Raised before any write when the managed system must not be written now (Wine runs on the
// prefix): nothing has changed.
class WriteRefused : public CoreError {
public:
    using CoreError::CoreError;
};

// Raised before any write when a registry entry's value holds no text (a number, binary data, a
// list of texts): such a value is listed but never rewritten. textKey() names its message.
class ValueNotText : public CoreError {
public:
    explicit ValueNotText(const QString& valueName);
    static QString textKey() { return QStringLiteral("MsgValueNotText"); }
    QString name;
};

// Throws ValueNotText when the row is a registry value that holds no text, and the store's error
// when the value is gone. Startup files always pass.
void ensureTextValue(const Platform& platform, const AutostartEntry& row);

// Throws WriteRefused when the platform says the managed system is read-only now.
void ensureWritable(const Platform& platform);

// Makes an entry active or inactive where it is: a registry value gains or loses "REM " in front of
// its data and keeps its type, a Startup file gets the hidden mark alone or no attributes at all. The
// value's data is read anew, so a change made since the listing is kept. Returns false when the entry
// already was in that state. Throws RegistryError, FileSystemError, ValueNotText or WriteRefused; a
// value or file that is gone is an error, never created anew.
bool setActivation(const Platform& platform, const AutostartEntry& row, bool active);

// Deactivates an active row and activates an inactive one.
void toggleActivation(const Platform& platform, const AutostartEntry& row);

// The backup keys below HKEY_CURRENT_USER, the data folder (where the program keeps its records
// of the prefix) and the backup folders below it. Every place is tried; the first failure is
// rethrown.
void ensureBackupPlaces(const Platform& platform, const QString& dataFolder);

// The backup key (below HKEY_CURRENT_USER) of a registry entry's tag.
QString backupKeyOfTag(const QString& tag);
// The backup folder (a host path, without a trailing "/") of a Startup file.
QString backupFolderOfFile(const Platform& platform, const QString& dataFolder, const QString& path);

// Copies the value into its backup key; a backup of the same name stays, the new one is numbered
// (see freeBackupName). Returns the backup key.
QString backUpRegistryValue(const Platform& platform, const QString& tag, const QString& name);
// Copies the file, with its attributes, into its backup folder; a backup of the same name stays, the
// new one is numbered (see freeBackupName). Returns the copy's host path.
QString backUpShortcut(const Platform& platform, const QString& dataFolder, const QString& path);

// Makes sure the backup places exist, then copies the entry into its backup place as the delete
// command does. Returns the backup key or the backup file. Throws when the copy failed.
QString backUpEntry(const Platform& platform, const QString& dataFolder, const AutostartEntry& row);

// Raised by deleteEntry when the backup was made but the entry could not be removed.
class RemovalFailed : public CoreError {
public:
    RemovalFailed(const std::string& reason, QString backupPlace)
        : CoreError(reason), backup(std::move(backupPlace)) {}
    QString backup; // empty when the copy had failed too
};

enum class BackupPolicy {
    DeleteEvenWithoutBackup, // the window: the deletion goes ahead when the copy failed
    RefuseWithoutBackup,     // the command line: nothing is removed unless its copy is safe
};

struct DeleteOutcome {
    QString backup;      // the backup key or the backup file; empty when the copy failed
    QString backupError; // why the copy failed
};

// Backs the entry up, then removes it. The copy is complete on disk before the original goes.
// Throws RemovalFailed when the removal fails, and the copy's error when it failed under
// RefuseWithoutBackup (then nothing was removed).
DeleteOutcome deleteEntry(const Platform& platform, const QString& dataFolder, const AutostartEntry& row,
                          BackupPolicy policy);

} // namespace sw
