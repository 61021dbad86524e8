#pragma once

// A main window on a real prefix, started as the program starts it, for the window and dialog tests.
// Header-only: the test support library does not link the window library, the window tests do.
#include "gui/main_services.h"
#include "gui/main_window.h"
#include "gui/prefix_switch.h"
#include "gui/startup.h"
#include "gui/unattended_startup.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_gui_platform.h"
#include "platform/wine/wine_prefix.h"
#include "scripted_message_boxes.h"
#include "temp_prefix.h"
#include "window_controls.h"

#include <QTemporaryDir>
#include <memory>

namespace sw::test {

// The window opens other prefixes as the program does: on Wine's platform.
inline PrefixOpener winePrefixOpener() {
    return {makeWineGuiPlatform, [](const QString& folder) { return WinePrefix(folder).problem(); }};
}

struct MainWindowFixture {
    TempPrefix prefix;
    QTemporaryDir programFolder;
    LanguageTexts texts;
    ScriptedMessageBoxes boxes;
    NoOtherInstance instance;
    StartupServices startup{texts, boxes, instance, ProgramFiles{programFolder.path(), prefix.path()}};
    std::unique_ptr<MainServices> services;
    frmMain window;

    MainWindowFixture(const QByteArray& systemBody, const QByteArray& userBody)
        : prefix(systemBody, userBody) {}

    // Start-up up to the filled window on the prefix of startup.files (the fixture's own unless the test
    // chose another), at the given size if any; showing it is the test's.
    void startWindow(QSize size = {}) {
        startLanguageAndInstance(startup);
        services = std::make_unique<MainServices>(
            MainServices{makeWineGuiPlatform(startup.files.prefixFolder), texts, boxes, startup.files, {}});
        window.setServices(services.get());
        addPrefixChooserButton(window, *services, winePrefixOpener());
        prepareMainWindow(window, startup);
        if (size.isValid())
            window.resize(size);
        fillMainWindow(window, *services);
    }
};

} // namespace sw::test
