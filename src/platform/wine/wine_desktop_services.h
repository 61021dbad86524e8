#pragma once

#include "platform/desktop_services.h"

#include <QProcessEnvironment>
#include <QString>
#include <QUrl>
#include <functional>

namespace sw {

// Starts command lines inside a Wine prefix with wine, and opens addresses with the desktop.
class WineDesktopServices : public DesktopServices {
public:
    // Opens an address with the desktop's handler. The desktop's own (QDesktopServices) needs Qt Gui,
    // so the windows hand it in; without one no address opens.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // program is the Wine launcher, looked up on the environment's PATH unless it holds a "/";
    // environment is the one the started process inherits (WINEPREFIX is set in it).
    explicit WineDesktopServices(QString prefixFolder, QString program = QStringLiteral("wine"),
                                 QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
                                 UrlOpener openUrl = {});

    void startCommandLine(const QString& commandLine) override;
    bool openUrl(const QString& address) override;
    bool openServiceConsole() override { return false; }

    // The launcher's full path, or empty when it cannot be found.
    QString launcherPath() const;

private:
    QString m_prefix;
    QString m_program;
    QProcessEnvironment m_environment;
    UrlOpener m_openUrl;
};

} // namespace sw
