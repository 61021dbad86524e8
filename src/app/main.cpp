#include "gui/main_services.h"
#include "gui/main_window.h"
#include "gui/prefix_settings.h"
#include "gui/prefix_switch.h"
#include "gui/qt_message_boxes.h"
#include "gui/single_instance_lock.h"
#include "gui/startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "platform/wine/wine_prefix.h"
#include "prefixes/prefix_finder.h"
#include "prefixes/prefix_settings.h"

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
                      QStringLiteral("The Wine prefix to manage (default: $WINEPREFIX, else the prefix used "
                                     "last, else ~/.wine, else the window offers the prefixes it finds)."),
                      QStringLiteral("DIR")});
    parser.process(app);

    sw::LanguageTexts texts;
    sw::QtMessageBoxes boxes(QStringLiteral("StartWarden"));
    sw::SingleInstanceLock instance;
    sw::StartupServices startup{texts, boxes, instance, sw::ProgramFiles{QApplication::applicationDirPath()}};
    if (!sw::startLanguageAndInstance(startup))
        return 0;

    // An empty --prefix is a mistake, never the default prefix. A prefix named by --prefix or
    // $WINEPREFIX must be one; otherwise the window starts on the prefix used last, else ~/.wine,
    // else with the chooser.
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const bool named =
        parser.isSet(QStringLiteral("prefix")) || !environment.value(QStringLiteral("WINEPREFIX")).isEmpty();
    const bool emptyPrefix =
        parser.isSet(QStringLiteral("prefix")) && parser.value(QStringLiteral("prefix")).isEmpty();
    QString folder = emptyPrefix
                         ? QString()
                         : sw::WinePrefix::chooseFolder(parser.value(QStringLiteral("prefix")), environment);
    if (!named && sw::WinePrefix(sw::lastUsedPrefix()).isValid())
        folder = sw::lastUsedPrefix();
    const sw::WinePrefix prefix(folder);
    if (!prefix.isValid() && named) {
        QString message = texts.getText(QStringLiteral("MsgNotAPrefix"));
        message.replace(QStringLiteral("%PATH%"), prefix.folder());
        boxes.show(message + QStringLiteral("\n\n") + prefix.problem(), QString(), sw::MessageIcon::Critical,
                   sw::MessageButtons::Ok);
        return kNotAPrefix;
    }

    startup.files.prefixFolder = prefix.isValid() ? prefix.folder() : QString();
    sw::MainServices services{
        sw::makeWineGuiPlatform(startup.files.prefixFolder), texts, boxes, startup.files, {}};
    const sw::PrefixOpener opener{sw::makeWineGuiPlatform,
                                  [](const QString& path) { return sw::WinePrefix(path).problem(); }};
    sw::frmMain window;
    sw::addPrefixChooserButton(window, services, opener);
    if (prefix.isValid())
        window.setServices(&services);
    boxes.setParentWindow(&window);
    sw::prepareMainWindow(window, startup);
    window.resizeToOpeningSize();
    if (prefix.isValid()) {
        sw::fillMainWindow(
            window, services,
            sw::prefixNameOf(prefix.folder(), sw::findPrefixes(sw::userPrefixSearchPlaces(
                                                                   QProcessEnvironment::systemEnvironment()))
                                                  .prefixes));
        sw::rememberLastUsedPrefix(prefix.folder());
    }
    window.show();
    if (!prefix.isValid())
        sw::openPrefixChooser(window, services, opener);
    const int status = QApplication::exec();
    sw::shutDown(window, services);
    return status;
}
