#include "platform/wine/pe_file_icons.h"

#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_mapped_file.h"
#include "platform/wine/pe_resources.h"

#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>

namespace sw {

namespace {

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

PeFileIcons::PeFileIcons(std::function<QString(const QString&)> toHostPath)
    : m_toHostPath(std::move(toHostPath)) {}

QIcon PeFileIcons::getFileIcon(const QString& path, int flags) const {
    const QString hostPath = m_toHostPath ? m_toHostPath(path) : path;
    if (hostPath.isEmpty() || !QFileInfo(hostPath).isFile())
        return {};
    const int size = (flags & 1) ? 16 : 32; // bit 0 is the small-icon flag
    const MappedFile file(hostPath);
    if (PeResources(file.bytes()).isPe()) {
        QIcon icon = readIconImage(file.bytes(), size);
        if (!icon.isNull())
            return icon;
    }
    return typeIcon(hostPath);
}

} // namespace sw
