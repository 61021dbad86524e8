#include "unattended_startup.h"

#include "main_services.h"

namespace sw {

UnattendedWindow::UnattendedWindow(const QString& programFolder, const QString& prefixFolder)
    : startup{texts, boxes, instance, ProgramFiles{programFolder, prefixFolder}} {}

UnattendedWindow::~UnattendedWindow() = default;

void UnattendedWindow::start(Platform platform) {
    startLanguageAndInstance(startup);
    services =
        std::make_unique<MainServices>(MainServices{std::move(platform), texts, boxes, startup.files, {}});
    window.setServices(services.get());
    prepareMainWindow(window, startup);
    window.resizeToOpeningSize();
    fillMainWindow(window, *services);
}

} // namespace sw
