// add and edit: the add/edit dialog's writes, with the place given by its category key.
#include "cli_context.h"
#include "entries/entry_actions.h"
#include "entries/entry_writer.h"
#include "entries/places.h"

#include <functional>

namespace sw::cli {

namespace {

bool isPlaceKey(const QString& key) {
    for (const Place& place : allPlaces())
        if (place.categoryKey == key)
            return true;
    return false;
}

QString placeKeys() {
    QStringList keys;
    for (const Place& place : allPlaces())
        keys.append(place.categoryKey);
    return keys.join(QStringLiteral(", "));
}

// The place of a --place or --to value; status kDone when it names one of the places.
int placeOfOption(Context& context, const QString& option, EntryPlace& place) {
    const QString key = context.parser.value(option);
    if (!isPlaceKey(key))
        return fail(kUsageError, QStringLiteral("--%1 takes one of: %2").arg(option, placeKeys()));
    place = entryPlaceOfCategory(*context.platform.system, key);
    if (!place.isChosen())
        return fail(kChangeFailed, QStringLiteral("the prefix names no folder for %1").arg(key));
    return kDone;
}

// An entry of the same name in the target place is replaced only with --replace, after its backup.
ReplaceRule replaceRule(Context& context) {
    const bool allowed = context.parser.isSet(QStringLiteral("replace"));
    return {[allowed](const AutostartEntry&) { return allowed; }, context.files.dataFolder()};
}

// Writes through the same checks as the dialog, mapping each refusal to its status.
int writeChecked(Context& context, const QString& name, const std::function<WrittenEntry()>& writeIt) {
    try {
        const WrittenEntry written = writeIt();
        if (written.replacedBackup.isEmpty())
            say(QStringLiteral("wrote \"%1\" (%2)").arg(written.name, written.tag));
        else
            say(QStringLiteral("wrote \"%1\" (%2) in place of the entry of that name, whose backup is %3")
                    .arg(written.name, written.tag, written.replacedBackup));
        return kDone;
    } catch (const WriteRefused& refused) {
        return fail(kWineRunning, QString::fromStdString(refused.what()));
    } catch (const EntryRejected& rejected) {
        const EntryProblem problem = rejected.problem();
        const int status = problem == EntryProblem::ProgramNotFound || problem == EntryProblem::EntryExists
                               ? kNoSuchEntry
                               : kUsageError;
        const QString text = context.texts.textForEntry(problemTextKey(problem), name.trimmed());
        if (problem == EntryProblem::EntryExists)
            return fail(status,
                        text + QStringLiteral(" Give --replace to replace it (it is backed up first)."));
        return fail(status, text + QStringLiteral(" Nothing was written."));
    } catch (const ValueNotText& refused) {
        return fail(kChangeFailed, context.texts.textForEntry(ValueNotText::textKey(), refused.name));
    } catch (const std::exception& error) {
        if (const QString reason = context.platform.readOnlyReason(); !reason.isEmpty())
            return fail(kWineRunning, reason);
        return fail(
            kChangeFailed,
            QStringLiteral("writing \"%1\" failed: %2").arg(name, QString::fromStdString(error.what())));
    }
}

} // namespace

int runAddCommand(Context& context) {
    if (context.arguments.size() != 1)
        return fail(kUsageError,
                    QStringLiteral("add takes exactly one entry name (quote a name that holds blanks)"));
    if (!context.parser.isSet(QStringLiteral("program")) || !context.parser.isSet(QStringLiteral("place")))
        return fail(kUsageError, QStringLiteral("add needs --program and --place"));
    EntryPlace place;
    if (const int status = placeOfOption(context, QStringLiteral("place"), place); status != kDone)
        return status;
    const QString name = context.arguments.first();
    const QString program = context.parser.value(QStringLiteral("program"));
    std::shared_ptr<void> writing;
    if (const int status = holdWriting(context, writing); status != kDone)
        return status;
    return writeChecked(context, name, [&] {
        return writeEntry(context.platform, name, program, place, replaceRule(context));
    });
}

int runEditCommand(Context& context) {
    if (context.arguments.size() != 1)
        return fail(kUsageError,
                    QStringLiteral("edit takes exactly one entry name (quote a name that holds blanks)"));
    const QString category = context.parser.isSet(QStringLiteral("place"))
                                 ? context.parser.value(QStringLiteral("place"))
                                 : QStringLiteral("ALL");
    if (!categoryKeys().contains(category))
        return fail(kUsageError, QStringLiteral("unknown place \"%1\"; one of: %2")
                                     .arg(category, categoryKeys().join(QStringLiteral(", "))));
    if (const QString reason = context.platform.readOnlyReason(); !reason.isEmpty())
        return fail(kWineRunning, reason);
    std::shared_ptr<void> writing;
    if (const int status = holdWriting(context, writing); status != kDone)
        return status;
    AutostartEntry row;
    if (const int status = findEntry(context, context.arguments.first(), category, row); status != kDone)
        return status;
    if (const int status = refuseUnwritableName(context, row.name, !row.isRegistryEntry()); status != kDone)
        return status;

    EntryPlace place;
    if (context.parser.isSet(QStringLiteral("to"))) {
        if (const int status = placeOfOption(context, QStringLiteral("to"), place); status != kDone)
            return status;
    } else {
        const Place* current = placeByBackupKind(row.backupKind);
        place = current ? entryPlaceOfCategory(*context.platform.system, current->categoryKey) : EntryPlace{};
    }
    const QString name = context.parser.isSet(QStringLiteral("name"))
                             ? context.parser.value(QStringLiteral("name"))
                             : row.name;
    // A listing keeps only the start of a longer text: an edit must not write that start alone.
    if (!context.parser.isSet(QStringLiteral("program")) && row.program.size() >= kListedDataUnits - 4)
        return fail(kUsageError,
                    QStringLiteral("the command line of \"%1\" is too long to be kept by an edit; "
                                   "give it with --program")
                        .arg(row.name));
    const QString program = context.parser.isSet(QStringLiteral("program"))
                                ? context.parser.value(QStringLiteral("program"))
                                : row.program;
    return writeChecked(context, name, [&] {
        return replaceEntry(context.platform, row, name, program, place, replaceRule(context));
    });
}

} // namespace sw::cli
