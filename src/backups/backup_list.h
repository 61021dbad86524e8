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
    QString labelKey;   // the group: the backup kind of its place (places.h), which a restore goes back to
    QString rowKey;     // empty for a file; else the value name followed by the backup key path
    QString tag;        // the backup file's host path, or the backup key's EntryTag
    // Kept by an earlier version in its one folder for every prefix: tied to no prefix.
    bool shared = false;

    bool isRegistryBackup() const { return !rowKey.isEmpty(); }
    // The name the entry gets back when it is restored: the name before a later backup of the same
    // name was numbered. Earlier versions numbered nothing.
    QString originalName() const;
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
    bool shared = false;
};

// The groups of a prefix's records, one per place in the order the category tree shows the places:
// the two folders below its data folder, then the registry keys; then the two folders of each shared
// data folder an earlier version left.
QList<BackupGroup> backupGroups(const QString& dataFolder, const QStringList& sharedFolders = {});

// Every file of a backup folder, hidden ones (a disabled entry's copy) included, in the file system's
// order; no folders.
void listBackupFolder(const Platform& platform, const QString& folder, const QString& labelKey,
                      const QString& label, QList<BackupRow>& rows);
// Every value of a backup key but the store's skipped name. False when the key cannot be enumerated.
bool listBackupKey(const Platform& platform, std::int32_t root, const QString& keyPath,
                   const QString& labelKey, const QString& label, QList<BackupRow>& rows);

// Every group, labelled in the loaded language.
BackupListing listBackups(const Platform& platform, const LanguageTexts& texts, const QString& dataFolder,
                          const QStringList& sharedFolders = {});

// The text of the place column: the group's label, marked for a backup tied to no prefix.
QString shownPlace(const LanguageTexts& texts, const BackupRow& row);

} // namespace sw
