#include "backup_restore.h"

#include "entries/autostart_entry.h"
#include "entries/entry_actions.h"
#include "entries/places.h"
#include "platform/platform.h"

namespace sw {

namespace {

constexpr auto kNoTarget = "MsgRestoreNoTarget";
constexpr auto kCopyFailed = "MsgRestoreFailed";

// A backup file may carry the read-only mark of the file it copies; it is the program's own file.
void removeBackupFile(const Platform& platform, const QString& path) {
    std::optional<FileAttributes> attributes = platform.fileSystem->attributes(path);
    if (attributes && attributes->readOnly) {
        attributes->readOnly = false;
        platform.fileSystem->setAttributes(path, *attributes);
    }
    platform.fileSystem->removeFile(path);
}

// Where a backup goes back to: a Startup file's managed path, or a registry value.
struct RestoreTarget {
    QString file; // empty for a registry backup
    std::int32_t root = 0;
    QString keyPath;
    QString name;
};

// The backup's group names its place; its label, in whichever language, plays no part.
RestoreTarget targetOf(const Platform& platform, const BackupRow& row) {
    RestoreTarget target;
    target.name = row.originalName();
    const Place* place = placeByBackupKind(row.labelKey);
    if (!row.isRegistryBackup()) {
        const QString folder =
            place && !place->isRegistryKey() ? startupFolderPath(*platform.system, *place) : QString();
        if (folder.isEmpty())
            throw RestoreFailed(QLatin1String(kNoTarget),
                                "no Startup folder for the group \"" + row.labelKey.toStdString() + "\"");
        // A separator in a host file's name would lead the copy out of the Startup folder.
        if (target.name.contains(QLatin1Char('\\')) || target.name.contains(QLatin1Char('/')))
            throw RestoreFailed(QLatin1String(kNoTarget), "the name \"" + target.name.toStdString() +
                                                              "\" is no file name of the managed system");
        target.file = folder + QLatin1Char('\\') + target.name;
        return target;
    }
    if (!place || !place->isRegistryKey())
        throw RestoreFailed(QLatin1String(kNoTarget),
                            "no registry key for the group \"" + row.labelKey.toStdString() + "\"");
    target.root = place->root;
    target.keyPath = place->keyPath;
    return target;
}

// The name of the value (its stored spelling) or file in the target's place, or empty.
QString takenBy(const Platform& platform, const RestoreTarget& target) {
    if (!target.file.isEmpty()) {
        return platform.fileSystem->attributes(target.file) ? target.file : QString();
    }
    if (const auto listed = platform.newRegistryStore()->enumerateValues(target.root, target.keyPath))
        for (const QString& name : listed->names)
            if (name.compare(target.name, Qt::CaseInsensitive) == 0)
                return name;
    return {};
}

// Backs the entry in the target's place up, as deleting it would. Returns where it went.
QString backUpReplaced(const Platform& platform, const RestoreTarget& target, const QString& existing,
                       const QString& dataFolder) {
    try {
        try {
            ensureBackupPlaces(platform, dataFolder);
        } catch (const std::exception&) {
            // The copy below tells whether the place that matters is there.
        }
        if (!target.file.isEmpty())
            return backUpShortcut(platform, dataFolder, existing);
        return backUpRegistryValue(platform, makeEntryTag(target.root, target.keyPath), existing);
    } catch (const WriteRefused&) {
        throw;
    } catch (const std::exception& error) {
        throw RestoreFailed(QLatin1String(kCopyFailed),
                            std::string("the entry it would replace cannot be backed up: ") + error.what());
    }
}

RestoreOutcome restoreFile(const Platform& platform, const BackupRow& row, const RestoreTarget& target) {
    RestoreOutcome outcome;
    outcome.target = target.file;
    try {
        platform.fileSystem->copyFile(row.tag, outcome.target);
    } catch (const std::exception& error) {
        throw RestoreFailed(QLatin1String(kCopyFailed), error.what());
    }
    try {
        removeBackupFile(platform, row.tag);
    } catch (const std::exception& error) {
        outcome.leftBehind = QString::fromStdString(error.what());
    }
    return outcome;
}

RestoreOutcome restoreValue(const Platform& platform, const BackupRow& row, const RestoreTarget& target) {
    const auto store = platform.newRegistryStore();
    try {
        store->copyValue(getTagRoot(row.tag), getTagKey(row.tag), row.name, target.root, target.keyPath,
                         target.name);
    } catch (const std::exception& error) {
        throw RestoreFailed(QLatin1String(kCopyFailed), error.what());
    }
    RestoreOutcome outcome;
    outcome.target = (target.root == kHkeyLocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE\\")
                                                       : QStringLiteral("HKEY_CURRENT_USER\\")) +
                     target.keyPath;
    try {
        store->deleteValue(getTagRoot(row.tag), getTagKey(row.tag), row.name);
    } catch (const std::exception& error) {
        outcome.leftBehind = QString::fromStdString(error.what());
    }
    return outcome;
}

} // namespace

bool restoreTargetTaken(const Platform& platform, const BackupRow& row) {
    try {
        return !takenBy(platform, targetOf(platform, row)).isEmpty();
    } catch (const RestoreFailed&) {
        return false;
    }
}

RestoreOutcome restoreBackup(const Platform& platform, const BackupRow& row, const QString& dataFolder,
                             RestoreMode mode) {
    ensureWritable(platform);
    const RestoreTarget target = targetOf(platform, row);
    QString replacedBackup;
    if (const QString existing = takenBy(platform, target); !existing.isEmpty()) {
        if (mode == RestoreMode::KeepExisting)
            throw RestoreTargetTaken("an entry named \"" + target.name.toStdString() +
                                     "\" is in the backup's place already");
        replacedBackup = backUpReplaced(platform, target, existing, dataFolder);
    }
    RestoreOutcome outcome =
        row.isRegistryBackup() ? restoreValue(platform, row, target) : restoreFile(platform, row, target);
    outcome.replacedBackup = replacedBackup;
    return outcome;
}

void deleteBackup(const Platform& platform, const BackupRow& row) {
    ensureWritable(platform);
    if (row.isRegistryBackup())
        platform.newRegistryStore()->deleteValue(getTagRoot(row.tag), getTagKey(row.tag), row.name);
    else
        removeBackupFile(platform, row.tag);
}

} // namespace sw
