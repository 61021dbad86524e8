#pragma once

#include <QString>

namespace sw {

// Version texts of files of the managed system.
class FileInformation {
public:
    virtual ~FileInformation() = default;

    // One text of the file's version information ("ProductName", "CompanyName", ...), or empty.
    virtual QString getFileVersionText(const QString& path, const QString& name) const = 0;
};

} // namespace sw
