#include "wine_desktop_services.h"

#include "platform/wine/command_line_split.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace sw {

WineDesktopServices::WineDesktopServices(QString prefixFolder, QString program,
                                         QProcessEnvironment environment, UrlOpener openUrl)
    : m_prefix(std::move(prefixFolder)), m_program(std::move(program)), m_environment(std::move(environment)),
      m_openUrl(std::move(openUrl)) {}

QString WineDesktopServices::launcherPath() const {
    if (m_program.contains(QLatin1Char('/'))) {
        const QFileInfo info(m_program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    const QStringList folders =
        m_environment.value(QStringLiteral("PATH")).split(QDir::listSeparator(), Qt::SkipEmptyParts);
    if (folders.isEmpty())
        return {};
    return QStandardPaths::findExecutable(m_program, folders);
}

void WineDesktopServices::startCommandLine(const QString& commandLine) {
    const QStringList arguments = splitCommandLine(commandLine);
    if (arguments.isEmpty() || arguments.first().isEmpty())
        throw LaunchError("The command line names no program to start.");
    const QString launcher = launcherPath();
    if (launcher.isEmpty())
        throw LaunchError(
            QStringLiteral("Wine is not installed: \"%1\" was not found, so \"%2\" cannot be started.")
                .arg(m_program, commandLine)
                .toStdString());
    QProcessEnvironment environment = m_environment;
    environment.insert(QStringLiteral("WINEPREFIX"), m_prefix);
    QProcess process;
    process.setProgram(launcher);
    process.setArguments(arguments);
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        throw LaunchError(QStringLiteral("\"%1\" could not be started: %2.")
                              .arg(commandLine, process.errorString())
                              .toStdString());
}

bool WineDesktopServices::openUrl(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    return url.isValid() && m_openUrl && m_openUrl(url);
}

} // namespace sw
