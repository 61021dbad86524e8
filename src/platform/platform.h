#pragma once

#include "desktop_services.h"
#include "file_information.h"
#include "file_system.h"
#include "registry_store.h"
#include "shortcut_file.h"
#include "system_info.h"

#include <QString>
#include <functional>
#include <memory>

namespace sw {

class FileIcons;

// The managed system as the rest of the program sees it. Routines that use the registry or a
// shortcut make their own instance from the factories and drop it when they end, so every routine
// sees the files as they are now.
struct Platform {
    std::function<std::unique_ptr<RegistryStore>()> newRegistryStore;
    std::function<std::unique_ptr<ShortcutFile>()> newShortcutFile;
    std::shared_ptr<FileSystem> fileSystem;
    std::shared_ptr<SystemInfo> system;
    std::shared_ptr<FileInformation> fileInformation;
    // Null where no window shows icons (see makeWineGuiPlatform).
    std::shared_ptr<const FileIcons> fileIcons;
    std::shared_ptr<DesktopServices> desktop;
    // Why the managed system cannot be written now (for a Wine prefix: Wine runs on it); empty
    // when it can.
    std::function<QString()> readOnlyReason = [] { return QString(); };
    // While the returned object lives, what was read of the registry, folders and files is taken as
    // unchanged: a listing reads thousands of values and program paths from the same few files.
    std::function<std::shared_ptr<void>()> holdContents = [] { return std::shared_ptr<void>(); };
    // While the returned object lives, this process is the only one of the program that writes the
    // managed system: a command holds it from before it reads what it changes until its last write.
    // Waits a few seconds for another writer to end; null when that one still writes then.
    std::function<std::shared_ptr<void>()> holdWriting = [] { return std::make_shared<char>(); };
};

} // namespace sw
