#include "wine_platform.h"

#include "lnk_shortcut_file.h"
#include "pe_file_information.h"
#include "prefix_writer_lock.h"
#include "registry_wine_store.h"
#include "wine_desktop_services.h"
#include "wine_file_system.h"
#include "wine_running.h"
#include "wine_system_info.h"

namespace sw {

Platform makeWinePlatform(const QString& prefixFolder, WineDesktopServices::UrlOpener openUrl) {
    Platform platform;
    auto fileSystem = std::make_shared<WineFileSystem>(prefixFolder);
    auto toHost = [fileSystem](const QString& path) { return fileSystem->hostPath(path); };
    // Every store reads an unchanged registry file once.
    auto registryFiles = std::make_shared<winereg::RegistryFileCache>();
    platform.newRegistryStore = [prefixFolder, registryFiles] {
        return std::make_unique<WineRegistryStore>(prefixFolder, registryFiles);
    };
    platform.newShortcutFile = [toHost] { return std::make_unique<LnkShortcutFile>(toHost); };
    platform.fileSystem = fileSystem;
    platform.system = std::make_shared<WineSystemInfo>(prefixFolder, platform.newRegistryStore, fileSystem);
    platform.fileInformation = std::make_shared<PeFileInformation>(toHost);
    platform.desktop = std::make_shared<WineDesktopServices>(
        prefixFolder, QStringLiteral("wine"), QProcessEnvironment::systemEnvironment(), std::move(openUrl));
    platform.readOnlyReason = [prefixFolder] { return wineRunningOn(prefixFolder); };
    platform.holdWriting = [prefixFolder] {
        return holdPrefixWriterLock(prefixFolder, std::chrono::seconds(kWriterWaitSeconds));
    };
    platform.holdContents = [fileSystem, registryFiles] {
        auto both = std::make_shared<std::pair<std::shared_ptr<void>, std::shared_ptr<void>>>(
            fileSystem->holdContents(), registryFiles->holdContents());
        return std::shared_ptr<void>(std::move(both));
    };
    return platform;
}

} // namespace sw
