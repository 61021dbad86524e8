#pragma once

#include "platform/file_icons.h"

#include <functional>

namespace sw {

// Icons of the managed system's files: PE files through their resources, other files through the
// desktop's icon for their type.
class PeFileIcons : public FileIcons {
public:
    // toHostPath maps a managed (Windows) path to the host file that holds it.
    explicit PeFileIcons(std::function<QString(const QString&)> toHostPath);

    QIcon getFileIcon(const QString& path, int flags) const override;

private:
    std::function<QString(const QString&)> m_toHostPath;
};

} // namespace sw
