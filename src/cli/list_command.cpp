#include "cli_context.h"
#include "entries/entry_lister.h"
#include "entries/places.h"
#include "entries/wine_starts.h"
#include "info/database_check.h"
#include "info/description_database.h"
#include "info_format.h"
#include "platform/message_boxes.h"
#include "row_format.h"

#include <cstdio>

namespace sw::cli {

namespace {

// The database loaders' messages go to the error stream.
// Names each Startup folder of the category that exists but cannot be read: it lists as empty, and
// an empty listing must not pass for an empty folder.
bool unreadableFolders(Context& context, const QString& category) {
    bool any = false;
    for (const Place* place : placesOfCategory(category)) {
        if (place->kind == PlaceKind::RegistryKey)
            continue;
        const QString folder = startupFolderPath(*context.platform.system, *place);
        const QString problem =
            folder.isEmpty() ? QString() : context.platform.fileSystem->folderProblem(folder);
        if (problem.isEmpty())
            continue;
        QString text = context.texts.getText(QStringLiteral("MsgFolderUnreadable"));
        text.replace(QStringLiteral("%PATH%"), folder).replace(QStringLiteral("%REASON%"), problem);
        fail(kChangeFailed, text);
        any = true;
    }
    return any;
}

} // namespace

int runListCommand(Context& context, bool withInformation) {
    if (context.arguments.size() > 1)
        return fail(kUsageError, QStringLiteral("too many arguments; quote a category that holds blanks"));
    const QString category = context.arguments.value(0, QStringLiteral("ALL"));
    if (!categoryKeys().contains(category))
        return fail(kUsageError, QStringLiteral("unknown category \"%1\"; one of: %2")
                                     .arg(category, categoryKeys().join(QStringLiteral(", "))));

    // The rows' programs are looked at again for their version texts: the files are taken as unchanged.
    const auto held = context.platform.holdContents();
    EntryLister lister(context.platform, context.texts);
    lister.listNow(category);
    lister.ghostRowsMissingFrom(context.files.checkList());
    const QList<AutostartEntry>& rows = lister.rows();
    DescriptionDatabase database;
    if (withInformation) {
        for (const DatabaseProblem& problem : loadDescriptionDatabase(context.files, context.texts, database))
            std::fprintf(stderr, "startwarden-cli: %s: %s\n", qPrintable(problem.title),
                         qPrintable(problem.text));
    }
    QByteArray lines;
    QJsonArray objects;
    for (const AutostartEntry& row : rows) {
        // Only the form that is printed is built: JSON objects cost more than the listing.
        const EntryInformation info =
            withInformation ? describeEntry(context.platform, database, row) : EntryInformation{};
        if (!context.json) {
            QStringList fields = rowFields(row, context.texts);
            if (withInformation)
                fields << informationFields(info) << wineStartName(wineStartOfRow(row));
            appendLine(lines, fields);
            if (lines.size() >= 1 << 16) { // printed in pieces: one small buffer, used again
                print(lines);
                lines.truncate(0);
            }
            continue;
        }
        QJsonObject object = rowObject(row);
        if (withInformation) {
            const QJsonObject extra = informationObject(info);
            for (auto it = extra.begin(); it != extra.end(); ++it)
                object.insert(it.key(), it.value());
            object.insert(QStringLiteral("starts"), wineStartName(wineStartOfRow(row)));
        }
        objects.append(object);
    }
    print(context.json ? formatJson(objects) : lines);
    return unreadableFolders(context, category) ? kChangeFailed : kDone;
}

} // namespace sw::cli
