#include "platform/wine/lnk_shortcut_file.h"

#include "platform/file_system.h"
#include "platform/wine/durable_file.h"
#include "platform/wine/registry_file_io.h"

#include <QFile>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

namespace {

// The Windows folder of a Windows link path; empty for host paths, whose relative targets cannot
// be resolved in Windows terms.
QString windowsFolder(const QString& linkPath) {
    if (linkPath.startsWith(u'/')) {
        return {};
    }
    const qsizetype slash = linkPath.lastIndexOf(u'\\');
    return slash < 0 ? QString() : linkPath.left(slash);
}

QString parentFolder(const QString& windowsPath) {
    const qsizetype slash = windowsPath.lastIndexOf(u'\\');
    if (slash < 0) {
        return {};
    }
    // Keep the backslash of a drive root: "C:\x.exe" starts in "C:\".
    return windowsPath.left(slash == 2 && windowsPath[1] == u':' ? 3 : slash);
}

} // namespace

LnkShortcutFile::LnkShortcutFile(PathMapper toHostPath) : m_toHostPath(std::move(toHostPath)) {}

QString LnkShortcutFile::hostPathOf(const QString& linkPath) const {
    const QString host = linkPath.startsWith(u'/') || !m_toHostPath ? linkPath : m_toHostPath(linkPath);
    if (host.isEmpty()) {
        throw ShortcutError(QStringLiteral("no host path for %1").arg(linkPath).toStdString());
    }
    return host;
}

void LnkShortcutFile::createShortcut(const QString& linkPath, const ShortcutInfo& info) {
    ShellLinkOptions options;
    options.description = info.description;
    options.arguments = info.arguments;
    options.iconLocation = info.iconPath;
    options.iconIndex = info.iconIndex;
    options.showCommand = info.showCommand;
    // The program passes the program path as the working path; a program starts in its folder.
    options.workingDir = info.workingPath.isEmpty() || info.workingPath == info.target
                             ? parentFolder(info.target)
                             : info.workingPath;
    const QByteArray bytes = buildShellLink(info.target, options);

    const QString host = hostPathOf(linkPath);
    const QByteArray target = QFile::encodeName(host);
    // Beside the target and renamed over it: the replaced link stays whole until the new one is on
    // disk, and what a killed write leaves is never listed and goes with the next write.
    try {
        removeAbandonedTemporaries(target);
        LockedTemporary file(target);
        ::fchmod(file.fd(), 0666 & ~currentUmask());
        if (!winereg::writeAll(file.fd(), bytes))
            throw ShortcutError(
                QStringLiteral("cannot write %1: %2").arg(host, winereg::errnoText()).toStdString());
        file.commitTo(target);
    } catch (const FileSystemError& error) {
        throw ShortcutError(error.what());
    }
}

QString LnkShortcutFile::getTarget() const {
    return m_link.target;
}

ShortcutInfo LnkShortcutFile::getInfo() const {
    ShortcutInfo info;
    info.description = m_link.description;
    info.target = m_link.target;
    info.arguments = m_link.arguments;
    info.iconPath = m_link.iconLocation;
    info.iconIndex = m_link.iconIndex;
    info.workingPath = m_link.workingDir;
    info.showCommand = static_cast<std::int16_t>(m_link.showCommand);
    return info;
}

void LnkShortcutFile::loadShortcut(const QString& linkPath) {
    m_link = ShellLink();
    const QString host = hostPathOf(linkPath);
    // Plain reads: a listing loads hundreds of links, and a link is small.
    const winereg::FileBytes file(host, kMaxFileSize);
    if (file.tooLarge() || file.bytes().size() > kMaxFileSize) {
        throw ShortcutError(QStringLiteral("%1 is too large for a shortcut").arg(host).toStdString());
    }
    if (!file.ok()) {
        throw ShortcutError(QStringLiteral("cannot read %1: %2")
                                .arg(host, QString::fromLocal8Bit(std::strerror(file.error())))
                                .toStdString());
    }
    const QByteArray& bytes = file.bytes();
    m_link = parseShellLink(bytes, windowsFolder(linkPath));
}

} // namespace sw
