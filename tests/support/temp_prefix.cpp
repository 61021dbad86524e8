#include "temp_prefix.h"

#include "entries/places.h"
#include "platform/wine/registry_wine_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sw::test {

namespace {
const char* const kUserName = "tester";
}

QByteArray TempPrefix::registryHeader(bool machine) {
    QByteArray header = "WINE REGISTRY Version 2\n";
    header += machine ? ";; All keys relative to \\\\Machine\n"
                      : ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n";
    header += "\n#arch=win64\n";
    return header;
}

QByteArray TempPrefix::userProfileBody() {
    return QByteArray("\n[Volatile Environment] 1700000000\n#time=1d9f0a0b0c0d0e0\n"
                      "\"USERNAME\"=\"") +
           kUserName + "\"\n\"USERPROFILE\"=\"C:\\\\users\\\\" + kUserName + "\"\n";
}

TempPrefix::TempPrefix(const QByteArray& systemBody, const QByteArray& userBody) {
    if (!m_dir.isValid())
        return;
    writeFile("system.reg", registryHeader(true) + systemBody);
    writeFile("user.reg", registryHeader(false) + userBody);
    QDir(path()).mkpath("drive_c/windows/system32");
    QDir(path()).mkpath("dosdevices");
    QFile::link("../drive_c", hostPath("dosdevices/c:"));
    QDir(path()).mkpath(userStartupFolder());
    QDir(path()).mkpath(commonStartupFolder());
}

QByteArray TempPrefix::section(const QString& key, const QByteArray& lines) {
    return "\n[" + QString(key).replace(QLatin1Char('\\'), QStringLiteral("\\\\")).toUtf8() +
           "] 1700000000\n#time=1d9f0a0b0c0d0e0\n" + lines;
}

QByteArray TempPrefix::runSection(const QByteArray& lines, const QString& leaf) {
    return section(QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\") + leaf, lines);
}

QByteArray TempPrefix::backupSection(const QString& leaf, const QByteArray& lines) {
    return section(kBackupKey + QLatin1Char('\\') + leaf, lines);
}

QString TempPrefix::hostPath(const QString& relative) const {
    return QDir(path()).filePath(relative);
}

QString TempPrefix::value(std::int32_t root, const QString& key, const QString& name) const {
    try {
        return WineRegistryStore(path()).readValue(root, key, name, 0);
    } catch (const std::exception&) {
        return QStringLiteral("<none>");
    }
}

QString TempPrefix::userStartupFolder() const {
    return hostPath(
        QStringLiteral("drive_c/users/%1/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup")
            .arg(QLatin1String(kUserName)));
}

QString TempPrefix::commonStartupFolder() const {
    return hostPath(QStringLiteral("drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/StartUp"));
}

QString TempPrefix::backupFolder(const QString& group) const {
    return hostPath(QStringLiteral("startwarden/Backups/Startmenu/") + group);
}

bool TempPrefix::writeFile(const QString& relative, const QByteArray& content) const {
    const QString target = hostPath(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray TempPrefix::readFile(const QString& relative) const {
    QFile file(hostPath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fixture(const QString& name) {
    return QStringLiteral(SW_TEST_FIXTURES_DIR "/") + name;
}

} // namespace sw::test
