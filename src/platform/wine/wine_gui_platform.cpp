#include "wine_gui_platform.h"

#include "pe_file_icons.h"
#include "wine_platform.h"

#include <QDesktopServices>

namespace sw {

Platform makeWineGuiPlatform(const QString& prefixFolder) {
    Platform platform =
        makeWinePlatform(prefixFolder, [](const QUrl& url) { return QDesktopServices::openUrl(url); });
    const std::shared_ptr<FileSystem> files = platform.fileSystem;
    platform.fileIcons =
        std::make_shared<PeFileIcons>([files](const QString& path) { return files->hostPath(path); });
    return platform;
}

} // namespace sw
