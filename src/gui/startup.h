#pragma once

#include "base/program_files.h"

#include <QString>

namespace sw {

class frmMain;
class LanguageTexts;
class MessageBoxes;
class SingleInstance;

// What start-up needs from outside; tests hand in scripted boxes and their own lock.
struct StartupServices {
    LanguageTexts& texts;
    MessageBoxes& boxes;
    SingleInstance& instance;
    ProgramFiles files;
};

inline constexpr const char* kMarkerName = "KelmariTidyraMutex";

// Loads the language; false when another copy runs (the user has been told, nothing was written).
bool startLanguageAndInstance(StartupServices& services);

// The window's part of start-up: icon, marker, translation.
void prepareMainWindow(frmMain& window, StartupServices& services);

struct MainServices;

// The rest of start-up once the window has its services: the help key, panels, tree and list,
// database, the dimming of new entries and the first row's information.
void fillMainWindow(frmMain& window, MainServices& services);

// Shutdown: lists every entry once more, records their programs for the next start, lets go of
// the panels.
void shutDown(frmMain& window, MainServices& services);

} // namespace sw
