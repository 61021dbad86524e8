#pragma once

#include "platform/file_information.h"

#include <functional>

namespace sw {

// Version texts of the managed system's files, read from the resources of PE files.
class PeFileInformation : public FileInformation {
public:
    // toHostPath maps a managed (Windows) path to the host file that holds it.
    explicit PeFileInformation(std::function<QString(const QString&)> toHostPath);

    QString GetFileVersionText(const QString& path, const QString& name) const override;

private:
    std::function<QString(const QString&)> m_toHostPath;
};

} // namespace sw
