#include "listing.h"

#include "platform/platform.h"
#include "program_file.h"

namespace sw {

namespace {

bool isShortcutName(const QString& name) {
    return name.right(4).toLower() == QLatin1String(".lnk");
}

// The link's target, and its arguments in `arguments`.
QString shortcutTarget(ShortcutFile* shortcuts, const QString& path, QString& arguments) {
    if (!shortcuts)
        return {};
    try {
        shortcuts->loadShortcut(path);
        arguments = shortcuts->getArguments();
        return shortcuts->getTarget();
    } catch (const std::exception&) {
        // An unreadable link is listed like one without a target.
        return {};
    }
}

} // namespace

QList<AutostartEntry> listStartmenuFolder(const ListingContext& context, const QString& folder,
                                          const QString& label) {
    QList<AutostartEntry> rows;
    const Platform& platform = context.platform;
    std::unique_ptr<ShortcutFile> shortcuts;
    QList<FolderItem> items;
    try {
        items = platform.fileSystem->listFolder(folder);
        shortcuts = platform.newShortcutFile();
    } catch (const std::exception&) {
    }
    rows.reserve(items.size());
    for (const FolderItem& item : std::as_const(items)) {
        if (item.attributes.directory || item.attributes.system || isWriteTemporary(item.name))
            continue;
        AutostartEntry row;
        row.name = item.name;
        row.placeLabel = label;
        row.tag = folder + item.name;
        row.active = !item.attributes.hidden;
        row.program =
            isShortcutName(item.name) ? shortcutTarget(shortcuts.get(), row.tag, row.arguments) : row.tag;
        resolveProgramFile(platform, row);
        rows.append(std::move(row));
    }
    return rows;
}

} // namespace sw
