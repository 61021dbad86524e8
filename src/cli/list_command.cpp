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

int listedCategory(const QStringList& arguments, QString& category) {
    if (arguments.size() > 1)
        return fail(kUsageError, QStringLiteral("too many arguments; quote a category that holds blanks"));
    category = arguments.value(0, QStringLiteral("ALL"));
    if (!categoryKeys().contains(category))
        return fail(kUsageError, QStringLiteral("unknown category \"%1\"; one of: %2")
                                     .arg(category, categoryKeys().join(QStringLiteral(", "))));
    return kDone;
}

void loadDatabase(const ProgramFiles& files, const LanguageTexts& texts, DescriptionDatabase& database) {
    for (const DatabaseProblem& problem : loadDescriptionDatabase(files, texts, database))
        std::fprintf(stderr, "startwarden-cli: %s: %s\n", qPrintable(problem.title),
                     qPrintable(problem.text));
}

int listInto(Context& context, const QString& category, const DescriptionDatabase* database,
             ListOutput& out) {
    // The rows' programs are looked at again for their version texts: the files are taken as unchanged.
    const auto held = context.platform.holdContents();
    EntryLister lister(context.platform, context.texts);
    lister.listNow(category);
    lister.ghostRowsMissingFrom(context.files.checkList());
    const QList<AutostartEntry>& rows = lister.rows();
    for (const AutostartEntry& row : rows) {
        // Only the form that is printed is built: JSON objects cost more than the listing.
        const EntryInformation info =
            database ? describeEntry(context.platform, *database, row) : EntryInformation{};
        if (!context.json) {
            QStringList fields = rowFields(row, context.texts);
            if (database)
                fields << informationFields(info) << wineStartName(wineStartOfRow(row));
            if (!context.prefixName.isNull())
                fields.prepend(context.prefixName);
            appendLine(out.lines, fields);
            if (out.lines.size() >= 1 << 16) { // printed in pieces: one small buffer, used again
                print(out.lines);
                out.lines.truncate(0);
            }
            continue;
        }
        QJsonObject object = rowObject(row);
        if (database) {
            const QJsonObject extra = informationObject(info);
            for (auto it = extra.begin(); it != extra.end(); ++it)
                object.insert(it.key(), it.value());
            object.insert(QStringLiteral("starts"), wineStartName(wineStartOfRow(row)));
        }
        if (!context.prefixName.isNull())
            object.insert(QStringLiteral("prefix"), context.prefixName);
        out.objects.append(object);
    }
    return unreadableFolders(context, category) ? kChangeFailed : kDone;
}

int runListCommand(Context& context, bool withInformation) {
    QString category;
    if (const int status = listedCategory(context.arguments, category))
        return status;
    DescriptionDatabase database;
    if (withInformation)
        loadDatabase(context.files, context.texts, database);
    ListOutput out;
    const int status = listInto(context, category, withInformation ? &database : nullptr, out);
    print(context.json ? formatJson(out.objects) : out.lines);
    return status;
}

} // namespace sw::cli
