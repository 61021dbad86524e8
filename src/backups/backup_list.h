#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace sw {

struct Platform;
class LanguageTexts;

// One row of the backups window.
struct BackupRow {
    QString name;       // the backup file's name, or the value name
    QString program;    // the shortcut's target, or the value's data
    QString placeLabel; // the translated label of the group
    QString labelKey;   // the group: "SMLocalUsr", "SMAllUsr", "LURun", "LURunOnce", "AURun", "AURunOnce"
    QString rowKey;     // empty for a file; else the value name followed by the backup key path
    QString tag;        // the backup file's host path, or the backup key's EntryTag

    bool isRegistryBackup() const { return !rowKey.isEmpty(); }
};

struct BackupListing {
    QList<BackupRow> rows;
    // The backup keys (below HKEY_CURRENT_USER) that could not be enumerated; their groups list nothing.
    QStringList unreadableKeys;
};

// One group of backups: where its copies lie.
struct BackupGroup {
    QString labelKey;
    QString folder;  // host path of a backup folder, without a trailing "/"; empty for a key
    QString keyPath; // backup key below HKEY_CURRENT_USER; empty for a folder
};

// The six groups in listing order: the two folders, then the four keys.
QList<BackupGroup> backupGroups(const QString& dataFolder);

// Every file of a backup folder (no folders, hidden or system files), in the file system's order.
void ListBackupFolder(const Platform& platform, const QString& folder, const QString& labelKey,
                      const QString& label, QList<BackupRow>& rows);
// Every value of a backup key but the store's skipped name. False when the key cannot be enumerated.
bool ListBackupKey(const Platform& platform, std::int32_t root, const QString& keyPath,
                   const QString& labelKey, const QString& label, QList<BackupRow>& rows);

// All six groups, labelled in the loaded language.
BackupListing listBackups(const Platform& platform, const LanguageTexts& texts, const QString& dataFolder);

} // namespace sw
