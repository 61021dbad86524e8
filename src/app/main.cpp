#include "main_window.h"
#include "platform/language_texts.h"
#include "qt_message_boxes.h"
#include "single_instance_lock.h"
#include "startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QUrl>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("StartWarden"));
    QApplication::setApplicationVersion(QStringLiteral(SW_VERSION));

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
    sw::StartupServices services{texts, boxes, instance,
                                 sw::ProgramFiles{QApplication::applicationDirPath()}};
    if (!sw::startLanguageAndInstance(services))
        return 1;

    sw::frmMain window;
    boxes.setParentWindow(&window);
    const QString helpFile = sw::prepareMainWindow(window, services);
    QObject::connect(&window, &sw::frmMain::helpRequested, [helpFile] {
        if (!helpFile.isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
    });
    window.resize(14130 * window.logicalDpiX() / 1440, 8490 * window.logicalDpiY() / 1440);
    window.show();
    return QApplication::exec();
}
