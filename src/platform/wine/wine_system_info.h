#pragma once

#include "platform/system_info.h"
#include "platform/wine/wine_environment.h"
#include "platform/wine/wine_file_system.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace sw {

class RegistryStore;

// Shell folders, environment and program search of a Wine prefix, answered from its registry and
// its files as Wine would answer them.
class WineSystemInfo : public SystemInfo {
public:
    using RegistryFactory = std::function<std::unique_ptr<RegistryStore>()>;

    // files: the prefix's file system when the caller shares one (its held contents then serve the
    // program search too).
    WineSystemInfo(QString prefixFolder, RegistryFactory registry,
                   std::shared_ptr<WineFileSystem> files = nullptr);

    QString getSpecialFolder(int folderNumber, bool create, bool verify) const override;
    QString environmentValue(const QString& name) const override;
    std::optional<QString> searchProgramFile(const QString& fileName) const override;
    // False for a prefix made for 32-bit Windows (#arch=win32 at the top of system.reg).
    bool has32BitView() const override;

    // The environment, read from the registry on first use.
    const WineEnvironment& environment() const;
    // The folders searchProgramFile looks in, in order, without a trailing backslash.
    QStringList searchFolders() const;

private:
    QString shellFolderValue(std::int32_t root, const QString& name) const;

    QString m_prefixFolder;
    std::shared_ptr<WineFileSystem> m_files;
    RegistryFactory m_registry;
    // Both are read once, by whichever thread of a listing asks first.
    mutable std::once_flag m_environmentRead;
    mutable std::optional<WineEnvironment> m_environment;
    mutable std::once_flag m_searchFoldersRead;
    mutable std::optional<QStringList> m_searchFolders; // follows the environment, read once too
};

} // namespace sw
