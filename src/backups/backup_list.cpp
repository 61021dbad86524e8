#include "backup_list.h"

#include "entries/autostart_entry.h"
#include "entries/places.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

namespace sw {

QList<BackupGroup> backupGroups(const QString& dataFolder) {
    const QString startMenu = dataFolder + QStringLiteral("/Backups/Startmenu/");
    return {
        {QStringLiteral("SMLocalUsr"), startMenu + QStringLiteral("Local User"), {}},
        {QStringLiteral("SMAllUsr"), startMenu + QStringLiteral("All Users"), {}},
        {QStringLiteral("LURun"), {}, kBackupKey + QStringLiteral("\\HKEY_CU\\Run")},
        {QStringLiteral("LURunOnce"), {}, kBackupKey + QStringLiteral("\\HKEY_CU\\RunOnce")},
        {QStringLiteral("AURun"), {}, kBackupKey + QStringLiteral("\\HKEY_LM\\Run")},
        {QStringLiteral("AURunOnce"), {}, kBackupKey + QStringLiteral("\\HKEY_LM\\RunOnce")},
    };
}

void ListBackupFolder(const Platform& platform, const QString& folder, const QString& labelKey,
                      const QString& label, QList<BackupRow>& rows) {
    const auto shortcuts = platform.newShortcutFile();
    for (const FolderItem& item : platform.fileSystem->listFolder(folder)) {
        if (item.attributes.directory || item.attributes.hidden || item.attributes.system)
            continue;
        const QString path = folder + QLatin1Char('/') + item.name;
        try {
            shortcuts->LoadShortcut(path);
        } catch (const std::exception&) {
            // Listed all the same, with what the reader gives for a file it cannot read: no target.
        }
        rows.append(BackupRow{item.name, shortcuts->GetTarget(), label, labelKey, QString(), path});
    }
}

bool ListBackupKey(const Platform& platform, std::int32_t root, const QString& keyPath,
                   const QString& labelKey, const QString& label, QList<BackupRow>& rows) {
    const auto store = platform.newRegistryStore();
    QStringList names;
    QList<std::uint32_t> kinds;
    if (!store->EnumerateValues(root, keyPath, names, kinds))
        return false;
    const QString skipped = store->SkippedValueName();
    const QString tag = makeEntryTag(root, keyPath);
    for (const QString& name : names) {
        if (name == skipped)
            continue;
        QString data;
        try {
            data = store->ReadValue(root, keyPath, name, 0);
        } catch (const std::exception&) {
            // A value that cannot be read as text is still a backup the user may delete.
        }
        rows.append(BackupRow{name, data, label, labelKey, name + keyPath, tag});
    }
    return true;
}

BackupListing listBackups(const Platform& platform, const LanguageTexts& texts, const QString& dataFolder) {
    BackupListing listing;
    for (const BackupGroup& group : backupGroups(dataFolder)) {
        const QString label = texts.GetText(group.labelKey);
        if (!group.folder.isEmpty())
            ListBackupFolder(platform, group.folder, group.labelKey, label, listing.rows);
        else if (!ListBackupKey(platform, kHkeyCurrentUser, group.keyPath, group.labelKey, label,
                                listing.rows))
            listing.unreadableKeys.append(group.keyPath);
    }
    return listing;
}

} // namespace sw
