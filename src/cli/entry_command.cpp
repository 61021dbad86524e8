// disable, enable, delete and run: the window's commands on one entry named on the command line.
#include "cli_context.h"
#include "entries/entry_actions.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "entries/wine_starts.h"

#include <cstdio>

namespace sw::cli {

namespace {

// An error text as a sentence that ends with a full stop.
QString sentence(const char* text) {
    QString line = QString::fromUtf8(text).trimmed();
    if (!line.endsWith(QLatin1Char('.')))
        line += QLatin1Char('.');
    return line;
}

QString categoryOfRow(const AutostartEntry& row) {
    const Place* place = placeByBackupKind(row.backupKind);
    return place ? place->categoryKey : row.placeLabel;
}

int changeActivation(Context& context, const AutostartEntry& row, bool active) {
    ensureTextValue(context.platform, row); // a value without text is refused before any question
    if (row.active == active) {
        say(QStringLiteral("\"%1\" is already %2; nothing changed")
                .arg(row.name, active ? "active" : "inactive"));
        return kDone;
    }
    if (!confirmed(context, QStringLiteral("MsgDeactivateReq"), row.name))
        return fail(kNotConfirmed, QStringLiteral("not confirmed; nothing changed"));
    if (!setActivation(context.platform, row, active))
        say(QStringLiteral("\"%1\" was already %2; nothing changed")
                .arg(row.name, active ? "active" : "inactive"));
    else
        say(QStringLiteral("\"%1\" is now %2").arg(row.name, active ? "active" : "inactive"));
    return kDone;
}

int deleteOne(Context& context, const AutostartEntry& row) {
    if (!confirmed(context, QStringLiteral("MsgDeleteReq"), row.name))
        return fail(kNotConfirmed, QStringLiteral("not confirmed; nothing changed"));
    const DeleteOutcome outcome =
        deleteEntry(context.platform, context.files.dataFolder(), row, BackupPolicy::RefuseWithoutBackup);
    const QString backup =
        row.isRegistryEntry() ? QStringLiteral("HKEY_CURRENT_USER\\") + outcome.backup : outcome.backup;
    say(QStringLiteral("deleted \"%1\"; its backup is %2").arg(row.name, backup));
    return kDone;
}

int runOne(Context& context, const AutostartEntry& row) {
    // Wine's start on a stopped prefix runs these once and removes them: never without a word.
    const QList<AutostartEntry> usedUp = rowsUsedUpByStartingWine(context.platform, context.texts);
    if (!usedUp.isEmpty() && !context.parser.isSet(QStringLiteral("consume-runonce")))
        return fail(kNotConfirmed,
                    QStringLiteral("starting Wine on the stopped prefix would remove these entries, running "
                                   "the active ones:\n%1\n"
                                   "nothing started; give --consume-runonce to start it all the same")
                        .arg(namesOfRows(usedUp)));
    if (!confirmed(context, QStringLiteral("MsgExecuteReq"), row.name))
        return fail(kNotConfirmed, QStringLiteral("not confirmed; nothing started"));
    context.platform.desktop->startCommandLine(row.program);
    say(QStringLiteral("started %1").arg(row.program));
    return kDone;
}

} // namespace

int refuseUnwritableName(Context& context, const QString& name, bool isFile) {
    if (!isFile || isPlainFileName(name))
        return kDone;
    return fail(kChangeFailed, context.texts.textForEntry(QStringLiteral("MsgNameNotWritable"), name));
}

int entryArguments(Context& context, const QString& command, QString& category) {
    if (context.arguments.size() != 1)
        return fail(
            kUsageError,
            QStringLiteral("%1 takes exactly one entry name (quote a name that holds blanks)").arg(command));
    category = context.parser.isSet(QStringLiteral("place")) ? context.parser.value(QStringLiteral("place"))
                                                             : QStringLiteral("ALL");
    if (!categoryKeys().contains(category))
        return fail(kUsageError, QStringLiteral("unknown place \"%1\"; one of: %2")
                                     .arg(category, categoryKeys().join(QStringLiteral(", "))));
    return kDone;
}

int findEntry(Context& context, const QString& name, const QString& category, AutostartEntry& found) {
    const QList<AutostartEntry> rows = listCategory({context.platform, context.texts}, category);
    QList<AutostartEntry> matches;
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const AutostartEntry& row : rows)
            if (row.name.compare(name, sensitivity) == 0)
                matches.append(row);
        if (!matches.isEmpty())
            break;
    }
    if (matches.isEmpty())
        return fail(kNoSuchEntry, QStringLiteral("no entry named \"%1\" in %2").arg(name, category));
    if (matches.size() > 1) {
        QStringList places;
        for (const AutostartEntry& row : matches)
            places.append(categoryOfRow(row));
        return fail(kNoSuchEntry,
                    QStringLiteral("\"%1\" stands in several places (%2); choose one with --place")
                        .arg(name, places.join(QStringLiteral(", "))));
    }
    found = matches.first();
    return kDone;
}

int runEntryCommand(Context& context, const QString& command) {
    QString category;
    if (const int status = entryArguments(context, command, category); status != kDone)
        return status;
    const bool writes = command != QLatin1String("run");
    if (const QString reason = context.platform.readOnlyReason(); writes && !reason.isEmpty())
        return fail(kWineRunning, reason);
    std::shared_ptr<void> writing;
    if (const int status = writes ? holdWriting(context, writing) : kDone; status != kDone)
        return status;

    AutostartEntry row;
    if (const int status = findEntry(context, context.arguments.first(), category, row); status != kDone)
        return status;
    if (const int status = refuseUnwritableName(context, row.name, writes && !row.isRegistryEntry());
        status != kDone)
        return status;
    try {
        if (command == QLatin1String("disable") || command == QLatin1String("enable"))
            return changeActivation(context, row, command == QLatin1String("enable"));
        if (command == QLatin1String("delete"))
            return deleteOne(context, row);
        return runOne(context, row);
    } catch (const RemovalFailed& failed) {
        return fail(kChangeFailed, QStringLiteral("delete \"%1\" failed: %2 The backup copy stays at %3.")
                                       .arg(row.name, sentence(failed.what()), failed.backup));
    } catch (const WriteRefused& refused) {
        return fail(kWineRunning, QString::fromStdString(refused.what()));
    } catch (const ValueNotText& refused) {
        return fail(kChangeFailed, context.texts.textForEntry(ValueNotText::textKey(), refused.name));
    } catch (const std::exception& error) {
        // Wine may have started between the first test and the write.
        if (const QString reason = context.platform.readOnlyReason(); writes && !reason.isEmpty())
            return fail(kWineRunning, reason);
        return fail(kChangeFailed, QStringLiteral("%1 \"%2\" failed: %3%4")
                                       .arg(command, row.name, sentence(error.what()),
                                            writes ? QStringLiteral(" Nothing was changed.") : QString()));
    }
}

} // namespace sw::cli
