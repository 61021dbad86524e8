#include "backup_list.h"

#include "entries/autostart_entry.h"
#include "entries/backup_names.h"
#include "entries/places.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

namespace sw {

QString BackupRow::originalName() const {
    return shared ? name : originalNameOfBackup(name, isRegistryBackup() ? NameForm::Value : NameForm::File);
}

QList<BackupGroup> backupGroups(const QString& dataFolder, const QStringList& sharedFolders) {
    QList<BackupGroup> groups;
    const QList<const Place*>& places = placesInTreeOrder();
    for (const Place* place : places)
        groups.append(
            place->isRegistryKey()
                ? BackupGroup{place->backupKind, {}, place->backupLocation, false}
                : BackupGroup{place->backupKind, dataFolder + '/' + place->backupLocation, {}, false});
    for (const QString& shared : sharedFolders)
        for (const Place* place : places)
            if (!place->isRegistryKey())
                groups.append({place->backupKind, shared + '/' + place->backupLocation, {}, true});
    return groups;
}

void listBackupFolder(const Platform& platform, const QString& folder, const QString& labelKey,
                      const QString& label, QList<BackupRow>& rows) {
    const auto shortcuts = platform.newShortcutFile();
    for (const FolderItem& item : platform.fileSystem->listFolder(folder)) {
        // Hidden and dot names are backups too: the copy keeps the hidden mark of a disabled entry.
        if (item.attributes.directory || isWriteTemporary(item.name))
            continue;
        const QString path = folder + QLatin1Char('/') + item.name;
        try {
            shortcuts->loadShortcut(path);
        } catch (const std::exception&) {
            // Listed all the same, with what the reader gives for a file it cannot read: no target.
        }
        rows.append(BackupRow{item.name, shortcuts->getTarget(), label, labelKey, QString(), path, false});
    }
}

bool listBackupKey(const Platform& platform, std::int32_t root, const QString& keyPath,
                   const QString& labelKey, const QString& label, QList<BackupRow>& rows) {
    const auto store = platform.newRegistryStore();
    const std::optional<RegistryValueNames> listed = store->enumerateValues(root, keyPath);
    if (!listed)
        return false;
    const QStringList& names = listed->names;
    const QString skipped = store->skippedValueName();
    const QString tag = makeEntryTag(root, keyPath);
    for (const QString& name : names) {
        if (name == skipped)
            continue;
        QString data;
        try {
            data = store->readValue(root, keyPath, name, 0);
        } catch (const std::exception&) {
            // A value that cannot be read as text is still a backup the user may delete.
        }
        rows.append(BackupRow{name, data, label, labelKey, name + keyPath, tag, false});
    }
    return true;
}

BackupListing listBackups(const Platform& platform, const LanguageTexts& texts, const QString& dataFolder,
                          const QStringList& sharedFolders) {
    BackupListing listing;
    for (const BackupGroup& group : backupGroups(dataFolder, sharedFolders)) {
        const QString label = texts.getText(group.labelKey);
        if (!group.folder.isEmpty()) {
            const qsizetype first = listing.rows.size();
            listBackupFolder(platform, group.folder, group.labelKey, label, listing.rows);
            for (qsizetype i = first; i < listing.rows.size(); ++i)
                listing.rows[i].shared = group.shared;
        } else if (!listBackupKey(platform, kHkeyCurrentUser, group.keyPath, group.labelKey, label,
                                  listing.rows))
            listing.unreadableKeys.append(group.keyPath);
    }
    return listing;
}

QString shownPlace(const LanguageTexts& texts, const BackupRow& row) {
    if (!row.shared)
        return row.placeLabel;
    QString text = texts.getText(QStringLiteral("BackupShared"));
    text.replace(QStringLiteral("%PLACE%"), row.placeLabel);
    return text;
}

} // namespace sw
