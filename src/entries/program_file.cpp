#include "program_file.h"

#include "platform/path_resolution.h"
#include "platform/platform.h"

namespace sw {

void resolveProgramFile(const Platform& platform, AutostartEntry& row) {
    const FileSystem& files = *platform.fileSystem;
    if (row.isRegistryEntry()) {
        row.programFile = programFileExists(files, row.program)
                              ? row.program
                              : resolveProgramPath(row.program, *platform.system, &files).value_or(QString());
        row.valid = programFileExists(files, row.programFile);
        return;
    }
    row.programFile = row.program;
    const std::optional<FileAttributes> attributes = files.attributes(row.programFile);
    row.valid = programFileExists(files, row.programFile) && attributes && attributes->size > 0;
}

} // namespace sw
