#include "file_system.h"

namespace sw {

bool isManagedPath(const QString& path) {
    return !path.isEmpty() && !path.startsWith(QLatin1Char('/'));
}

bool programFileExists(const FileSystem& fs, const QString& path) {
    if (!isManagedPath(path))
        return false;
    FileAttributes attributes;
    if (!fs.attributes(path, attributes))
        return false;
    return !attributes.directory && !attributes.hidden;
}

} // namespace sw
