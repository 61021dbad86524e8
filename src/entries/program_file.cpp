#include "program_file.h"

#include "platform/path_resolution.h"
#include "platform/platform.h"

#include <QHash>

namespace sw {

void resolveProgramFile(const Platform& platform, AutostartEntry& row) {
    const FileSystem& files = *platform.fileSystem;
    if (row.isRegistryEntry()) {
        row.programFile = programFileExists(files, row.program)
                              ? row.program
                              : ResolveProgramPath(row.program, *platform.system);
        row.valid = programFileExists(files, row.programFile);
        return;
    }
    row.programFile = row.program;
    FileAttributes attributes;
    row.valid = programFileExists(files, row.programFile) && files.attributes(row.programFile, attributes) &&
                attributes.size > 0;
}

QIcon programIcon(const Platform& platform, const AutostartEntry& row) {
    if (!row.valid)
        return {};
    try {
        return platform.fileInformation->GetFileIcon(row.programFile, kSmallIcon);
    } catch (const std::exception&) {
        return {};
    }
}

void fillProgramIcons(const Platform& platform, QList<AutostartEntry>& rows) {
    QHash<QString, QIcon> icons;
    for (AutostartEntry& row : rows) {
        const QString key = row.programFile.toLower();
        auto it = icons.constFind(key);
        if (it == icons.cend())
            it = icons.insert(key, programIcon(platform, row));
        row.icon = *it;
    }
}

} // namespace sw
