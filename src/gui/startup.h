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

// The rest of start-up once the window has its services: the panels, the database and the prefix
// (showPrefix). prefixName names the prefix in the title; empty, the folder's name does.
void fillMainWindow(frmMain& window, MainServices& services, const QString& prefixName = {});

// What the window shows of the prefix of services.files: the help key, tree and list, the dimming
// of new entries, the first row's information and the title naming the prefix.
void showPrefix(frmMain& window, MainServices& services, const QString& prefixName);

// Lists every entry of the prefix once more and records their programs in its check list, for the
// next start.
void recordCheckList(MainServices& services);

// Shutdown: records the check list of the prefix shown (if any), lets go of the panels.
void shutDown(frmMain& window, MainServices& services);

} // namespace sw
