#include "entry_information.h"

#include "description_database.h"
#include "entries/autostart_entry.h"
#include "platform/path_resolution.h"
#include "platform/platform.h"

namespace sw {

namespace {

// The command line a row is rated as: a Run value's data, or a Startup file's target with the
// shortcut's arguments.
QString ratedCommandLine(const AutostartEntry& row) {
    return row.isRegistryEntry() ? row.program : startupCommandLine(row.program, row.arguments);
}

// Takes the row's line apart as its listing did, without asking the files again: the one program
// file that exists is the one the listing found.
ProgramLookup rowLookup(const Platform& platform, const AutostartEntry& row) {
    ProgramLookup lookup = programLookup(*platform.system, nullptr);
    const QString program = row.programFile;
    lookup.programExists = [program](const QString& path) {
        return path.compare(program, Qt::CaseInsensitive) == 0;
    };
    lookup.searchProgram = [program](const QString& name) -> std::optional<QString> {
        if (getFileNameFromPath(program).compare(name, Qt::CaseInsensitive) != 0)
            return std::nullopt;
        return program;
    };
    return lookup;
}

} // namespace

EntryInformation describeEntry(const Platform& platform, const DescriptionDatabase& database,
                               const AutostartEntry& row) {
    EntryInformation info;
    // The row's own verdict, so that the list and the panel never disagree about the program.
    info.programPath = row.programFile;
    if (!row.valid)
        return info;
    const FileInformation& files = *platform.fileInformation;
    info.fileName = getFileNameFromPath(info.programPath);
    info.productName = files.getFileVersionText(info.programPath, QStringLiteral("ProductName"));
    info.company = files.getFileVersionText(info.programPath, QStringLiteral("CompanyName"));
    info.record =
        rateCommandLine(database, ratedCommandLine(row), info.company, row.name, rowLookup(platform, row));
    info.rating = ratingOfRecord(database, info.record);
    if (info.record > 0) {
        const DescriptionRecord& record = database.description(info.record);
        info.description = record.description;
        info.links = parseLinks(record.links);
    }
    return info;
}

} // namespace sw
