#include "config_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sw {

std::optional<QByteArray> readConfigFile(const QString& path, std::vector<PrefixSearchNote>& notes) {
    const QFileInfo info(path);
    if (!info.exists()) {
        // A link whose end cannot be reached (dangling, or a loop) is a broken configuration.
        if (info.isSymLink())
            notes.push_back({path, QStringLiteral("a symbolic link that leads nowhere or in a loop")});
        return std::nullopt;
    }
    if (!info.isFile()) {
        notes.push_back({path, QStringLiteral("not a plain file")});
        return std::nullopt;
    }
    if (info.size() > kMaxConfigBytes) {
        notes.push_back({path, QStringLiteral("larger than %1 bytes").arg(kMaxConfigBytes)});
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        notes.push_back({path, QStringLiteral("cannot be read (%1)").arg(file.errorString())});
        return std::nullopt;
    }
    // The file may have grown since it was looked at: never read past the limit.
    QByteArray bytes = file.read(kMaxConfigBytes + 1);
    if (bytes.size() > kMaxConfigBytes) {
        notes.push_back({path, QStringLiteral("larger than %1 bytes").arg(kMaxConfigBytes)});
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        notes.push_back({path, QStringLiteral("cannot be read (%1)").arg(file.errorString())});
        return std::nullopt;
    }
    return bytes;
}

QString launcherPath(const QString& written, const QString& home) {
    QString path = written.trimmed();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir(home).filePath(path.mid(2));
    return QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QString();
}

} // namespace sw
