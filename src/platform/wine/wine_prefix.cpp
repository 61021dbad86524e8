#include "wine_prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sw {

namespace {
const QByteArray kRegistryHeader = "WINE REGISTRY Version 2";

// Empty when the file starts with Wine's header line, else the reason.
QString registryFileProblem(const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("%1 is not a Wine prefix: it holds no %2.").arg(folder, name);
    if (!info.isFile())
        return QStringLiteral("%1 is not a Wine prefix: its %2 is not a file.").arg(folder, name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be used: its %2 cannot be read (%3).")
            .arg(folder, name, file.errorString());
    // Wine takes the line with or without a carriage return before its line feed.
    const QByteArray line = file.readLine(kRegistryHeader.size() + 3);
    if (line != kRegistryHeader + '\n' && line != kRegistryHeader + "\r\n")
        return QStringLiteral("%1 is not a Wine prefix: its %2 does not start with \"%3\".")
            .arg(folder, name, QString::fromLatin1(kRegistryHeader));
    return {};
}
} // namespace

QString WinePrefix::chooseFolder(const QString& explicitFolder, const QProcessEnvironment& environment) {
    QString folder = explicitFolder;
    if (folder.isEmpty())
        folder = environment.value(QStringLiteral("WINEPREFIX"));
    if (folder.isEmpty()) {
        QString home = environment.value(QStringLiteral("HOME"));
        if (home.isEmpty())
            home = QDir::homePath();
        folder = QDir(home).filePath(QStringLiteral(".wine"));
    }
    return QDir::cleanPath(QDir::current().absoluteFilePath(folder));
}

QString WinePrefix::problem() const {
    if (m_folder.isEmpty())
        return QStringLiteral("No Wine prefix folder was given.");
    const QFileInfo info(m_folder);
    if (!info.exists())
        return QStringLiteral("The Wine prefix %1 does not exist.").arg(m_folder);
    if (!info.isDir())
        return QStringLiteral("%1 is not a Wine prefix: it is not a folder.").arg(m_folder);
    for (const QString& name : {QStringLiteral("system.reg"), QStringLiteral("user.reg")}) {
        const QString reason = registryFileProblem(m_folder, name);
        if (!reason.isEmpty())
            return reason;
    }
    return {};
}

} // namespace sw
