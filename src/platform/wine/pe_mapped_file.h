#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace sw {

// A file's bytes, memory-mapped where possible so that only the pages a reader touches are read.
// Files too large to be programs worth looking into give no bytes.
class MappedFile {
public:
    explicit MappedFile(const QString& hostPath) : m_file(hostPath) {
        constexpr qint64 kMaxFileSize = 256ll * 1024 * 1024;
        const QFileInfo info(hostPath);
        if (!info.isFile() || info.size() > kMaxFileSize || !m_file.open(QIODevice::ReadOnly))
            return;
        const qint64 size = m_file.size();
        if (size <= 0 || size > kMaxFileSize)
            return;
        if (uchar* mapped = m_file.map(0, size))
            m_bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
        else
            m_bytes = m_file.read(size);
    }
    // The bytes must not outlive the mapping, so callers get a reference.
    const QByteArray& bytes() const { return m_bytes; }

private:
    QFile m_file;
    QByteArray m_bytes;
};

} // namespace sw
