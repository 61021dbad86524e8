// Renders the main window on a prefix at the sizes and in the states worth looking at, one PNG
// each, so that layout changes can be checked by eye.
#include "gui/main_services.h"
#include "gui/main_window.h"
#include "gui/splitter_panel.h"
#include "gui/startup.h"
#include "gui/unattended_startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTreeWidget>
#include <cstdio>

namespace {

void save(sw::frmMain& window, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    window.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: sw-screenshots PROGRAM_FOLDER PREFIX OUTPUT_FOLDER\n");
        return 2;
    }
    QDir().mkpath(arguments[3]);
    sw::LanguageTexts texts;
    sw::UnattendedMessageBoxes boxes;
    sw::NoOtherInstance instance;
    sw::StartupServices startup{texts, boxes, instance, sw::ProgramFiles{arguments[1], arguments[2]}};
    sw::startLanguageAndInstance(startup);
    sw::MainServices services{sw::makeWineGuiPlatform(arguments[2]), texts, boxes, startup.files, {}};
    sw::frmMain window;
    window.setServices(&services);
    sw::prepareMainWindow(window, startup);
    window.resizeToOpeningSize();
    sw::fillMainWindow(window, services);
    window.show();
    save(window, arguments[3], QStringLiteral("opening"));

    window.resize(800, 600);
    save(window, arguments[3], QStringLiteral("800x600"));

    window.toolbarButton(QStringLiteral("folderlist"))->trigger();
    save(window, arguments[3], QStringLiteral("tree-hidden"));
    window.toolbarButton(QStringLiteral("folderlist"))->trigger();

    window.toolbarButton(QStringLiteral("details"))->trigger();
    save(window, arguments[3], QStringLiteral("details-hidden"));
    window.toolbarButton(QStringLiteral("details"))->trigger();
    return 0;
}
