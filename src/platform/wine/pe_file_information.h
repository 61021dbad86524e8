#pragma once

#include "platform/file_information.h"

#include <functional>

namespace sw {

// Version texts and icons of the managed system's files, read from the files themselves: PE files
// through their resources, other files through the desktop's icon for their type.
class PeFileInformation : public FileInformation {
public:
    // toHostPath maps a managed (Windows) path to the host file that holds it.
    explicit PeFileInformation(std::function<QString(const QString&)> toHostPath);

    QIcon GetFileIcon(const QString& path, int flags) const override;
    QString GetFileVersionText(const QString& path, const QString& name) const override;

private:
    std::function<QString(const QString&)> m_toHostPath;
};

} // namespace sw
