#include "file_system.h"

namespace sw {

bool isManagedPath(const QString& path) {
    return !path.isEmpty() && !path.startsWith(QLatin1Char('/'));
}

bool programFileExists(const FileSystem& fs, const QString& path) {
    if (!isManagedPath(path))
        return false;
    const std::optional<FileAttributes> attributes = fs.attributes(path);
    return attributes && !attributes->directory && !attributes->hidden;
}

} // namespace sw
