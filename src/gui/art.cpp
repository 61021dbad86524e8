#include "art.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <array>
#include <utility>

namespace sw {

namespace {

struct ArtFile {
    const char* key;
    const char* file;
};

constexpr std::array<ArtFile, 26> kArt{{
    {"AA", "AA.svg"},
    {"add", "toolbar/add.svg"},
    {"activate", "toolbar/activate.svg"},
    {"edit", "toolbar/edit.svg"},
    {"remove", "toolbar/remove.svg"},
    {"run", "toolbar/run.svg"},
    {"refresh", "toolbar/refresh.svg"},
    {"folderlist", "toolbar/folderlist.svg"},
    {"details", "toolbar/details.svg"},
    {"send", "toolbar/send.svg"},
    {"backup", "toolbar/backup.svg"},
    {"help", "toolbar/help.svg"},
    {"all users", "tree/all_users.svg"},
    {"local user", "tree/local_user.svg"},
    {"startmenu", "tree/startmenu.svg"},
    {"reg", "tree/reg.svg"},
    {"services", "tree/services.svg"},
    {"link", "tree/link.svg"},
    {"folder", "tree/folder.svg"},
    {"unknow", "program/program_small.svg"},
    {"UNKNOW", "program/program_unknown.svg"},
    {"CORRUPTED", "program/program_missing.svg"},
    {"NORMAL", "panel/normal.svg"},
    {"RISK", "panel/risk.svg"},
    {"weblink", "panel/weblink.svg"},
    {"background", "panel/background.svg"},
}};

// Sizes an icon carries pre-rendered when the SVG icon engine is not available.
constexpr std::array<int, 6> kFallbackSizes{16, 24, 32, 48, 64, 256};

} // namespace

QStringList artKeys() {
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(kArt.size()));
    for (const ArtFile& art : kArt)
        keys.append(QLatin1String(art.key));
    return keys;
}

QString artPath(const QString& key) {
    for (const ArtFile& art : kArt) {
        if (key == QLatin1String(art.key))
            return QStringLiteral(":/art/") + QLatin1String(art.file);
    }
    return {};
}

QPixmap artPixmap(const QString& key, QSize size) {
    const QString path = artPath(key);
    if (path.isEmpty() || size.isEmpty())
        return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return QPixmap::fromImage(std::move(image));
}

QIcon artIcon(const QString& key) {
    const QString path = artPath(key);
    if (path.isEmpty() || !QFile::exists(path))
        return {};
    QIcon icon(path);
    if (!icon.availableSizes().isEmpty() || !icon.pixmap(16).isNull())
        return icon;
    // No SVG icon engine: carry the common sizes as pictures instead.
    QIcon rendered;
    for (int side : kFallbackSizes)
        rendered.addPixmap(artPixmap(key, QSize(side, side)));
    return rendered;
}

} // namespace sw
