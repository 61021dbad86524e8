#include "listing.h"

#include "platform/platform.h"

#include <QFileInfo>

namespace sw {

namespace {

bool isShortcutName(const QString& name) {
    return name.right(4).toLower() == QLatin1String(".lnk");
}

QString shortcutTarget(ShortcutFile* shortcuts, const QString& path) {
    if (!shortcuts)
        return {};
    try {
        shortcuts->LoadShortcut(path);
        return shortcuts->GetTarget();
    } catch (const std::exception&) {
        // An unreadable link is listed like one without a target.
        return {};
    }
}

bool isNonEmptyFile(const FileSystem& fs, const QString& path) {
    if (!isManagedPath(path))
        return false;
    const QFileInfo info(fs.hostPath(path));
    return info.isFile() && info.size() > 0;
}

} // namespace

QList<AutostartEntry> ListStartmenuFolder(const ListingContext& context, const QString& folder,
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
    for (const FolderItem& item : std::as_const(items)) {
        if (item.attributes.directory || item.attributes.system)
            continue;
        AutostartEntry row;
        row.name = item.name;
        row.placeLabel = label;
        row.tag = folder + item.name;
        row.active = !item.attributes.hidden;
        row.program = isShortcutName(item.name) ? shortcutTarget(shortcuts.get(), row.tag) : row.tag;
        row.valid = isNonEmptyFile(*platform.fileSystem, row.program);
        if (row.valid && context.withIcons)
            row.icon = platform.fileInformation->GetFileIcon(
                isShortcutName(item.name) ? row.program : row.tag, kSmallIcon);
        rows.append(row);
    }
    return rows;
}

} // namespace sw
