#pragma once

#include <QIcon>
#include <QString>

namespace sw {

// Flags the callers pass to GetFileIcon, as the shell's file-information flags.
inline constexpr int kLargeIcon = 0x100;
inline constexpr int kSmallIcon = 0x101;

// Icons and version texts of files of the managed system.
class FileInformation {
public:
    virtual ~FileInformation() = default;

    // The file's icon: for a program its own icon, for other files the desktop's icon for the type.
    // A null icon when there is none.
    virtual QIcon GetFileIcon(const QString& path, int flags) const = 0;
    // One text of the file's version information ("ProductName", "CompanyName", ...), or empty.
    virtual QString GetFileVersionText(const QString& path, const QString& name) const = 0;
};

} // namespace sw
