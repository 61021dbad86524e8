#include "platform/wine/pe_file_information.h"

#include "platform/wine/pe_mapped_file.h"
#include "platform/wine/pe_version.h"

#include <QFile>

#include <sys/stat.h>

namespace sw {

PeFileInformation::PeFileInformation(std::function<QString(const QString&)> toHostPath)
    : m_toHostPath(std::move(toHostPath)) {}

QString PeFileInformation::getFileVersionText(const QString& path, const QString& name) const {
    const QString hostPath = m_toHostPath ? m_toHostPath(path) : path;
    if (hostPath.isEmpty())
        return {};
    // One stat call: QFileInfo's times go through the local time zone, which stats its file too.
    struct stat st;
    if (::stat(QFile::encodeName(hostPath).constData(), &st) != 0)
        return {};
    const qint64 size = st.st_size;
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    {
        const QMutexLocker lock(&m_mutex);
        const auto it = m_resources.constFind(hostPath);
        if (it != m_resources.cend() && it->size == size && it->modified == modified)
            return readBlockVersionText(it->block, name);
    }
    const QByteArray block = readVersionBlock(MappedFile(hostPath).bytes());
    constexpr qsizetype kMostFiles = 1024;
    const QMutexLocker lock(&m_mutex);
    if (m_resources.size() >= kMostFiles)
        m_resources.clear();
    m_resources.insert(hostPath, Resource{size, modified, block});
    return readBlockVersionText(block, name);
}

} // namespace sw
