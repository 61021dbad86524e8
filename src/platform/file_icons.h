#pragma once

#include "platform.h"

#include <QIcon>
#include <QString>

#include <exception>

namespace sw {

// Flags the callers pass to getFileIcon, as the shell's file-information flags.
inline constexpr int kLargeIcon = 0x100;
inline constexpr int kSmallIcon = 0x101;

// Icons of files of the managed system. Only the windows need them, so the command line never
// loads the GUI libraries they take.
class FileIcons {
public:
    virtual ~FileIcons() = default;

    // The file's icon: for a program its own icon, for other files the desktop's icon for the type.
    // A null icon when there is none.
    virtual QIcon getFileIcon(const QString& path, int flags) const = 0;
};

// The icon of a file of the managed system; a null icon where the platform has no icons or the file
// cannot be read.
inline QIcon fileIconOf(const Platform& platform, const QString& path, int flags) {
    if (!platform.fileIcons || path.isEmpty())
        return {};
    try {
        return platform.fileIcons->getFileIcon(path, flags);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace sw
