#include "platform/wine/pe_file_information.h"

#include "platform/wine/pe_mapped_file.h"
#include "platform/wine/pe_version.h"

namespace sw {

PeFileInformation::PeFileInformation(std::function<QString(const QString&)> toHostPath)
    : m_toHostPath(std::move(toHostPath)) {}

QString PeFileInformation::GetFileVersionText(const QString& path, const QString& name) const {
    const QString hostPath = m_toHostPath ? m_toHostPath(path) : path;
    if (hostPath.isEmpty())
        return {};
    const MappedFile file(hostPath);
    return readVersionText(file.bytes(), name);
}

} // namespace sw
