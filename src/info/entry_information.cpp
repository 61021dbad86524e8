#include "entry_information.h"

#include "description_database.h"
#include "entries/autostart_entry.h"
#include "platform/platform.h"

namespace sw {

EntryInformation describeEntry(const Platform& platform, const DescriptionDatabase& database,
                               const AutostartEntry& row) {
    EntryInformation info;
    // The row's own verdict, so that the list and the panel never disagree about the program.
    info.programPath = row.programFile;
    if (!row.valid)
        return info;
    const FileInformation& files = *platform.fileInformation;
    info.fileName = GetFileNameFromPath(info.programPath);
    info.productName = files.GetFileVersionText(info.programPath, QStringLiteral("ProductName"));
    info.company = files.GetFileVersionText(info.programPath, QStringLiteral("CompanyName"));
    info.record = findRecord(database, row.program, info.company, row.name);
    info.rating = ratingOfRecord(database, info.record);
    if (info.record > 0) {
        const DescriptionRecord& record = database.description(info.record);
        info.description = record.description;
        info.links = parseLinks(record.links);
    }
    return info;
}

} // namespace sw
