// Renders the main window on a prefix at the sizes and in the states worth looking at, one PNG
// each, so that layout changes can be checked by eye; and the help window.
#include "gui/main_window.h"
#include "gui/prefix_dialog.h"
#include "gui/prefix_switch.h"
#include "gui/unattended_startup.h"
#include "platform/wine/wine_gui_platform.h"
#include "platform/wine/wine_prefix.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTreeWidget>
#include <cstdio>

namespace {

void save(QWidget& window, const QString& folder, const QString& name) {
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
    sw::UnattendedWindow run(arguments[1], arguments[2]);
    sw::frmMain& window = run.window;
    run.start(sw::makeWineGuiPlatform(arguments[2]));
    const sw::PrefixOpener opener{sw::makeWineGuiPlatform,
                                  [](const QString& folder) { return sw::WinePrefix(folder).problem(); }};
    sw::addPrefixChooserButton(window, *run.services, opener);
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

    window.toolbarButton(QStringLiteral("help"))->trigger();
    if (auto* help = window.findChild<QWidget*>(QStringLiteral("frmHelp")))
        save(*help, arguments[3], QStringLiteral("help"));
    // The chooser over the window, once the prefixes found are counted.
    sw::frmPrefixes* chooser = sw::openPrefixChooser(window, *run.services, opener);
    while (chooser->isCounting())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    save(*chooser, arguments[3], QStringLiteral("prefixes"));
    return 0;
}
