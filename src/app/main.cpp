#include "gui/main_services.h"
#include "gui/main_window.h"
#include "gui/qt_message_boxes.h"
#include "gui/single_instance_lock.h"
#include "gui/startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "platform/wine/wine_prefix.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QProcessEnvironment>

namespace {
constexpr int kNotAPrefix = 2;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("StartWarden"));
    QApplication::setApplicationVersion(QStringLiteral(SW_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("com.tidyra.StartWarden"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows and manages the autostart entries of a Wine prefix."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("prefix"),
                      QStringLiteral("The Wine prefix to manage (default: $WINEPREFIX, else ~/.wine)."),
                      QStringLiteral("DIR")});
    parser.process(app);

    sw::LanguageTexts texts;
    sw::QtMessageBoxes boxes(QStringLiteral("StartWarden"));
    sw::SingleInstanceLock instance;
    sw::StartupServices startup{texts, boxes, instance, sw::ProgramFiles{QApplication::applicationDirPath()}};
    if (!sw::startLanguageAndInstance(startup))
        return 0;

    // An empty --prefix is a mistake, never the default prefix.
    const bool emptyPrefix =
        parser.isSet(QStringLiteral("prefix")) && parser.value(QStringLiteral("prefix")).isEmpty();
    const sw::WinePrefix prefix(emptyPrefix
                                    ? QString()
                                    : sw::WinePrefix::chooseFolder(parser.value(QStringLiteral("prefix")),
                                                                   QProcessEnvironment::systemEnvironment()));
    if (!prefix.isValid()) {
        QString message = texts.getText(QStringLiteral("MsgNotAPrefix"));
        message.replace(QStringLiteral("%PATH%"), prefix.folder());
        boxes.show(message + QStringLiteral("\n\n") + prefix.problem(), QString(), sw::MessageIcon::Critical,
                   sw::MessageButtons::Ok);
        return kNotAPrefix;
    }

    startup.files.prefixFolder = prefix.folder();
    sw::MainServices services{sw::makeWineGuiPlatform(prefix.folder()), texts, boxes, startup.files, {}};
    sw::frmMain window;
    window.setServices(&services);
    boxes.setParentWindow(&window);
    sw::prepareMainWindow(window, startup);
    window.resizeToOpeningSize();
    sw::fillMainWindow(window, services);
    window.show();
    const int status = QApplication::exec();
    sw::shutDown(window, services);
    return status;
}
