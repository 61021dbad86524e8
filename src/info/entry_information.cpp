#include "entry_information.h"

#include "description_database.h"
#include "entries/autostart_entry.h"
#include "platform/path_resolution.h"
#include "platform/platform.h"

namespace sw {

QString programPathOf(const Platform& platform, const AutostartEntry& row) {
    if (row.isRegistryEntry())
        return ResolveProgramPath(row.program, *platform.system);
    if (!row.tag.endsWith(QStringLiteral(".lnk"), Qt::CaseInsensitive))
        return row.tag;
    try {
        std::unique_ptr<ShortcutFile> shortcut = platform.newShortcutFile();
        shortcut->LoadShortcut(row.tag);
        return shortcut->GetTarget();
    } catch (const std::exception&) {
        return {};
    }
}

EntryInformation describeEntry(const Platform& platform, const DescriptionDatabase& database,
                               const AutostartEntry& row, bool withIcon) {
    EntryInformation info;
    info.programPath = programPathOf(platform, row);
    if (!programFileExists(*platform.fileSystem, info.programPath))
        return info;
    const FileInformation& files = *platform.fileInformation;
    if (withIcon)
        info.icon = files.GetFileIcon(info.programPath, kLargeIcon);
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
