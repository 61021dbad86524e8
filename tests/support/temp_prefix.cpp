#include "temp_prefix.h"

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

QString TempPrefix::userStartupFolder() const {
    return hostPath(
        QStringLiteral("drive_c/users/%1/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup")
            .arg(QLatin1String(kUserName)));
}

QString TempPrefix::commonStartupFolder() const {
    return hostPath(QStringLiteral("drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/StartUp"));
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
