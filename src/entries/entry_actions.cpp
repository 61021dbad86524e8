#include "entry_actions.h"

#include "backup_names.h"
#include "places.h"
#include "platform/platform.h"

#include <QSet>

namespace sw {

namespace {

constexpr auto kInactivePrefix = QLatin1String("REM ");

bool hasInactivePrefix(const QString& data) {
    return data.left(4).compare(kInactivePrefix, Qt::CaseInsensitive) == 0;
}

const QString& checkedDataFolder(const QString& dataFolder) {
    // An empty folder would put the backups at the root of the file system.
    if (dataFolder.isEmpty())
        throw FileSystemError("No folder was given for the backups.");
    return dataFolder;
}

bool isRunKey(const QString& keyPath) {
    return keyPath.right(3).toLower() == QLatin1String("run");
}

const Place& placeOfKind(const char* backupKind) {
    return *placeByBackupKind(QLatin1String(backupKind));
}

QSet<QString> lowerCased(const QStringList& names) {
    QSet<QString> lower;
    for (const QString& name : names)
        lower.insert(name.toLower());
    return lower;
}

bool setRegistryActivation(const Platform& platform, const AutostartEntry& row, bool active) {
    const std::int32_t root = getTagRoot(row.tag);
    const QString keyPath = getTagKey(row.tag);
    const auto store = platform.newRegistryStore();
    // Throws when the value is gone: writing would bring it back.
    const std::uint32_t type = store->valueType(root, keyPath, row.name);
    if (!isTextValueType(type))
        throw ValueNotText(row.name);
    const QString data = store->readValue(root, keyPath, row.name, type);
    if (hasInactivePrefix(data) != active)
        return false;
    // An expandable string stays expandable: its %VARIABLES% must still be expanded at the start.
    store->writeTypedStringValue(root, keyPath, row.name, active ? data.mid(4) : kInactivePrefix + data,
                                 type);
    return true;
}

bool setFileActivation(const Platform& platform, const AutostartEntry& row, bool active) {
    const std::optional<FileAttributes> current = platform.fileSystem->attributes(row.tag);
    if (!current || current->directory)
        throw FileSystemError(QStringLiteral("The file %1 no longer exists.").arg(row.tag).toStdString());
    FileAttributes wanted;
    wanted.hidden = !active;
    // Every other mark goes: a read-only or system file becomes a plain (or plainly hidden) one.
    platform.fileSystem->setAttributes(row.tag, wanted);
    return current->hidden == active;
}

} // namespace

ValueNotText::ValueNotText(const QString& valueName)
    : CoreError(QStringLiteral("The registry value \"%1\" holds no text; it is not changed.")
                    .arg(valueName)
                    .toStdString()),
      name(valueName) {}

void ensureTextValue(const Platform& platform, const AutostartEntry& row) {
    if (!row.isRegistryEntry())
        return;
    if (!isTextValueType(
            platform.newRegistryStore()->valueType(getTagRoot(row.tag), getTagKey(row.tag), row.name)))
        throw ValueNotText(row.name);
}

void ensureWritable(const Platform& platform) {
    if (const QString reason = platform.readOnlyReason(); !reason.isEmpty())
        throw WriteRefused(reason.toStdString());
}

bool setActivation(const Platform& platform, const AutostartEntry& row, bool active) {
    ensureWritable(platform);
    return row.isRegistryEntry() ? setRegistryActivation(platform, row, active)
                                 : setFileActivation(platform, row, active);
}

void toggleActivation(const Platform& platform, const AutostartEntry& row) {
    setActivation(platform, row, !row.active);
}

void ensureBackupPlaces(const Platform& platform, const QString& dataFolder) {
    ensureWritable(platform);
    std::exception_ptr firstFailure;
    auto attempt = [&firstFailure](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
            if (!firstFailure)
                firstFailure = std::current_exception();
        }
    };
    attempt([&] {
        const auto store = platform.newRegistryStore();
        for (const Place& place : allPlaces())
            if (place.isRegistryKey())
                attempt([&] { store->createKey(kHkeyCurrentUser, place.backupLocation); });
    });
    // Parents first, so each folder's parent exists when it is created.
    QStringList folders;
    attempt([&] { folders.append(checkedDataFolder(dataFolder)); });
    for (const Place& place : allPlaces()) {
        if (place.isRegistryKey() || folders.isEmpty())
            continue;
        QString folder = dataFolder;
        for (const QString& step : place.backupLocation.split(QLatin1Char('/')))
            if (folder += QLatin1Char('/') + step; !folders.contains(folder))
                folders.append(folder);
    }
    for (const QString& folder : folders) {
        attempt([&] {
            if (!platform.fileSystem->attributes(folder))
                platform.fileSystem->createFolder(folder);
        });
    }
    if (firstFailure)
        std::rethrow_exception(firstFailure);
}

QString backupKeyOfTag(const QString& tag) {
    if (const Place* place = placeOfTag(tag))
        return place->backupLocation;
    // Any root but the current user's is the machine's; a key whose name ends in "run" is a Run key.
    const bool localUser = getTagRoot(tag) == kHkeyCurrentUser;
    const bool run = isRunKey(getTagKey(tag));
    for (const Place& place : allPlaces())
        if (place.isRegistryKey() && (place.root == kHkeyCurrentUser) == localUser &&
            isRunKey(place.keyPath) == run)
            return place.backupLocation;
    return {};
}

QString backupFolderOfFile(const Platform& platform, const QString& dataFolder, const QString& path) {
    // An unnamed Startup folder is the empty text, which every path contains.
    const Place& localUser = placeOfKind("SMLocalUsr");
    const Place& place =
        path.contains(startupFolderPath(*platform.system, localUser)) ? localUser : placeOfKind("SMAllUsr");
    return checkedDataFolder(dataFolder) + QLatin1Char('/') + place.backupLocation;
}

QString backUpRegistryValue(const Platform& platform, const QString& tag, const QString& name) {
    ensureWritable(platform);
    const QString target = backupKeyOfTag(tag);
    const auto store = platform.newRegistryStore();
    const QSet<QString> taken =
        lowerCased(store->enumerateValues(kHkeyCurrentUser, target).value_or(RegistryValueNames{}).names);
    const QString backupName = freeBackupName(name, NameForm::Value, [&taken](const QString& candidate) {
        return taken.contains(candidate.toLower());
    });
    store->copyValue(getTagRoot(tag), getTagKey(tag), name, kHkeyCurrentUser, target, backupName);
    return target;
}

QString backUpShortcut(const Platform& platform, const QString& dataFolder, const QString& path) {
    ensureWritable(platform);
    const QString folder = backupFolderOfFile(platform, dataFolder, path);
    QStringList names;
    for (const FolderItem& item : platform.fileSystem->listFolder(folder))
        names.append(item.name);
    // Names that differ in case only would be one file to Wine.
    const QSet<QString> taken = lowerCased(names);
    const QString target =
        folder + QLatin1Char('/') +
        freeBackupName(getFileNameFromPath(path), NameForm::File,
                       [&taken](const QString& candidate) { return taken.contains(candidate.toLower()); });
    platform.fileSystem->copyFile(path, target);
    return target;
}

QString backUpEntry(const Platform& platform, const QString& dataFolder, const AutostartEntry& row) {
    try {
        ensureBackupPlaces(platform, dataFolder);
    } catch (const std::exception&) {
        // The copy below tells whether the place that matters is there.
    }
    return row.isRegistryEntry() ? backUpRegistryValue(platform, row.tag, row.name)
                                 : backUpShortcut(platform, dataFolder, row.tag);
}

DeleteOutcome deleteEntry(const Platform& platform, const QString& dataFolder, const AutostartEntry& row,
                          BackupPolicy policy) {
    ensureWritable(platform);
    DeleteOutcome outcome;
    try {
        outcome.backup = backUpEntry(platform, dataFolder, row);
    } catch (const WriteRefused&) {
        throw;
    } catch (const std::exception& error) {
        if (policy == BackupPolicy::RefuseWithoutBackup)
            throw;
        outcome.backupError = QString::fromStdString(error.what());
    }
    try {
        if (row.isRegistryEntry())
            platform.newRegistryStore()->deleteValue(getTagRoot(row.tag), getTagKey(row.tag), row.name);
        else
            platform.fileSystem->removeFile(row.tag);
    } catch (const std::exception& error) {
        throw RemovalFailed(error.what(), outcome.backup);
    }
    return outcome;
}

} // namespace sw
