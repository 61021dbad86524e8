#include "file_system.h"

namespace sw {

bool programFileExists(const FileSystem& fs, const QString& path) {
    if (path.isEmpty())
        return false;
    FileAttributes attributes;
    if (!fs.attributes(path, attributes))
        return false;
    return !attributes.directory && !attributes.hidden;
}

} // namespace sw
