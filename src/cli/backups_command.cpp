// backups, restore and purge: the backups window on the command line.
#include "backups/backup_list.h"
#include "backups/backup_restore.h"
#include "cli_context.h"
#include "entries/entry_actions.h"
#include "entries/places.h"
#include "row_format.h"

#include <cstdio>

namespace sw::cli {

namespace {

// The groups' keys in the order backups lists them.
QStringList groupKeys() {
    QStringList keys;
    for (const Place* place : placesInTreeOrder())
        keys.append(place->backupKind);
    return keys;
}

BackupListing listAll(Context& context) {
    // The window's start makes sure the places exist; a place that cannot be made is reported below.
    if (const auto writing =
            context.platform.readOnlyReason().isEmpty() ? context.platform.holdWriting() : nullptr) {
        try {
            ensureBackupPlaces(context.platform, context.files.dataFolder());
        } catch (const std::exception&) {
        }
    }
    BackupListing listing = listBackups(context.platform, context.texts, context.files.dataFolder(),
                                        context.files.sharedDataFolders());
    // A key that is not there yet (a prefix that could not be written) holds no backups; only a
    // user.reg that cannot be read hides some.
    const bool readable = listing.unreadableKeys.isEmpty() ||
                          context.platform.newRegistryStore()->rootReadable(kHkeyCurrentUser);
    for (const QString& key : listing.unreadableKeys)
        if (!readable)
            std::fprintf(stderr, "startwarden-cli: the backup key HKEY_CURRENT_USER\\%s cannot be read\n",
                         qPrintable(key));
    return listing;
}

// The one backup of that name (exactly as listed, else ignoring case) in the chosen group; a file
// backup is also found by its tag, its path as listed.
int findBackup(Context& context, const QString& name, BackupRow& found) {
    const QString group = context.parser.value(QStringLiteral("group"));
    const QList<BackupRow> rows = listAll(context).rows;
    QList<BackupRow> matches;
    for (const BackupRow& row : rows)
        if (!row.isRegistryBackup() && row.tag == name)
            matches.append(row);
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        if (!matches.isEmpty())
            break;
        for (const BackupRow& row : rows)
            if (row.name.compare(name, sensitivity) == 0 && (group.isEmpty() || row.labelKey == group))
                matches.append(row);
    }
    if (matches.isEmpty())
        return fail(kNoSuchEntry,
                    QStringLiteral("no backup named \"%1\"%2")
                        .arg(name, group.isEmpty() ? QString() : QStringLiteral(" in ") + group));
    if (matches.size() > 1) {
        QStringList groups;
        for (const BackupRow& row : matches)
            groups.append(row.shared ? row.labelKey + QStringLiteral(" (shared)") : row.labelKey);
        return fail(kNoSuchEntry,
                    QStringLiteral("there are several backups named \"%1\" (%2); choose one with "
                                   "--group, or name a file backup by its path as backups lists it")
                        .arg(name, groups.join(QStringLiteral(", "))));
    }
    found = matches.first();
    return kDone;
}

int refuseTakenPlace(const BackupRow& row) {
    return fail(kNoSuchEntry, QStringLiteral("an entry named \"%1\" is in the place of this backup already; "
                                             "nothing changed (--replace backs it up and replaces it)")
                                  .arg(row.originalName()));
}

int restoreOne(Context& context, const BackupRow& row) {
    const bool replace = context.parser.isSet(QStringLiteral("replace"));
    if (!replace && restoreTargetTaken(context.platform, row))
        return refuseTakenPlace(row);
    if (!confirmed(context, QStringLiteral("MsgRestoreBackupReq"), row.name))
        return fail(kNotConfirmed, QStringLiteral("not confirmed; nothing changed"));
    RestoreOutcome outcome;
    try {
        outcome = restoreBackup(context.platform, row, context.files.dataFolder(),
                                replace ? RestoreMode::ReplaceExisting : RestoreMode::KeepExisting);
    } catch (const RestoreTargetTaken&) {
        return refuseTakenPlace(row);
    }
    if (const QString& copy = outcome.replacedBackup; !copy.isEmpty())
        say(QStringLiteral("backed up the entry it replaced to %1")
                .arg(copy.startsWith(QLatin1Char('/')) ? copy
                                                       : QStringLiteral("HKEY_CURRENT_USER\\") + copy));
    say(QStringLiteral("restored \"%1\" to %2").arg(row.originalName(), outcome.target));
    if (!outcome.leftBehind.isEmpty())
        std::fprintf(stderr, "startwarden-cli: the backup is still kept as well: %s\n",
                     qPrintable(outcome.leftBehind));
    return kDone;
}

int purgeOne(Context& context, const BackupRow& row) {
    if (!confirmed(context, QStringLiteral("MsgDelBackupReq"), row.name))
        return fail(kNotConfirmed, QStringLiteral("not confirmed; nothing changed"));
    deleteBackup(context.platform, row);
    say(QStringLiteral("deleted the backup \"%1\" of %2").arg(row.name, row.labelKey));
    return kDone;
}

} // namespace

int runBackupsCommand(Context& context) {
    if (!context.arguments.isEmpty())
        return fail(kUsageError, QStringLiteral("backups takes no arguments"));
    QList<QStringList> lines;
    QJsonArray objects;
    for (const BackupRow& row : listAll(context).rows) {
        // "shared": kept by an earlier version for every prefix, tied to none.
        lines.append({row.name, row.program, row.labelKey, row.rowKey, row.tag,
                      row.shared ? QStringLiteral("shared") : QString()});
        objects.append(QJsonObject{{"name", row.name},
                                   {"program", row.program},
                                   {"group", row.labelKey},
                                   {"key", row.rowKey},
                                   {"tag", row.tag},
                                   {"shared", row.shared}});
    }
    print(context.json ? formatJson(objects) : formatLines(lines));
    return kDone;
}

int runBackupCommand(Context& context, const QString& command) {
    if (context.arguments.size() != 1)
        return fail(
            kUsageError,
            QStringLiteral("%1 takes exactly one backup name (quote a name that holds blanks)").arg(command));
    if (const QString group = context.parser.value(QStringLiteral("group"));
        context.parser.isSet(QStringLiteral("group")) && !placeByBackupKind(group))
        return fail(kUsageError, QStringLiteral("unknown group \"%1\"; one of: %2")
                                     .arg(group, groupKeys().join(QStringLiteral(", "))));
    if (const QString reason = context.platform.readOnlyReason(); !reason.isEmpty())
        return fail(kWineRunning, reason);
    std::shared_ptr<void> writing;
    if (const int status = holdWriting(context, writing); status != kDone)
        return status;

    BackupRow row;
    if (const int status = findBackup(context, context.arguments.first(), row); status != kDone)
        return status;
    if (const int status = refuseUnwritableName(context, row.name, !row.isRegistryBackup()); status != kDone)
        return status;
    try {
        return command == QLatin1String("restore") ? restoreOne(context, row) : purgeOne(context, row);
    } catch (const WriteRefused& refused) {
        return fail(kWineRunning, QString::fromStdString(refused.what()));
    } catch (const std::exception& error) {
        // Wine may have started between the first test and the write.
        if (const QString reason = context.platform.readOnlyReason(); !reason.isEmpty())
            return fail(kWineRunning, reason);
        return fail(kChangeFailed, QStringLiteral("%1 \"%2\" failed: %3; the backup is still kept")
                                       .arg(command, row.name, QString::fromStdString(error.what())));
    }
}

} // namespace sw::cli
