#include "platform/wine/pe_file_information.h"

#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_resources.h"
#include "platform/wine/pe_version.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>

#include <memory>

namespace sw {

namespace {

// Larger files are not programs we need to look into.
constexpr qint64 kMaxFileSize = 256ll * 1024 * 1024;

// A file's bytes, memory-mapped where possible so that only the pages the reader touches are read.
class FileBytes {
public:
    explicit FileBytes(const QString& hostPath) : m_file(hostPath) {
        const QFileInfo info(hostPath);
        if (!info.isFile() || info.size() > kMaxFileSize || !m_file.open(QIODevice::ReadOnly))
            return;
        const qint64 size = m_file.size();
        if (size <= 0 || size > kMaxFileSize)
            return;
        if (uchar* mapped = m_file.map(0, size)) {
            m_bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
        } else {
            m_bytes = m_file.read(size);
        }
    }
    // The view must not outlive the mapping, so callers get a reference.
    const QByteArray& bytes() const { return m_bytes; }

private:
    QFile m_file;
    QByteArray m_bytes;
};

// A plain page with a folded corner, for when the desktop theme has no icon for a type.
QIcon genericFileIcon() {
    QIcon icon;
    for (int side : {16, 32}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const qreal unit = side / 16.0;
        const QPointF page[] = {{3 * unit, 1 * unit},
                                {10 * unit, 1 * unit},
                                {13 * unit, 4 * unit},
                                {13 * unit, 15 * unit},
                                {3 * unit, 15 * unit}};
        painter.setPen(QPen(Qt::darkGray, unit));
        painter.setBrush(Qt::white);
        painter.drawPolygon(page, 5);
        painter.drawPolyline(
            QPolygonF({{10 * unit, 1 * unit}, {10 * unit, 4 * unit}, {13 * unit, 4 * unit}}));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QIcon typeIcon(const QString& hostPath) {
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(hostPath);
    return QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName(), genericFileIcon()));
}

} // namespace

PeFileInformation::PeFileInformation(std::function<QString(const QString&)> toHostPath)
    : m_toHostPath(std::move(toHostPath)) {}

QIcon PeFileInformation::GetFileIcon(const QString& path, int flags) const {
    const QString hostPath = m_toHostPath ? m_toHostPath(path) : path;
    if (hostPath.isEmpty() || !QFileInfo(hostPath).isFile())
        return {};
    const int size = (flags & 1) ? 16 : 32; // bit 0 is the small-icon flag
    const FileBytes file(hostPath);
    if (PeResources(file.bytes()).isPe()) {
        QIcon icon = readIconImage(file.bytes(), size);
        if (!icon.isNull())
            return icon;
    }
    return typeIcon(hostPath);
}

QString PeFileInformation::GetFileVersionText(const QString& path, const QString& name) const {
    const QString hostPath = m_toHostPath ? m_toHostPath(path) : path;
    if (hostPath.isEmpty())
        return {};
    const FileBytes file(hostPath);
    return readVersionText(file.bytes(), name);
}

} // namespace sw
