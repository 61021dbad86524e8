#pragma once

#include "base/program_files.h"
#include "info/description_database.h"
#include "platform/platform.h"

namespace sw {

class LanguageTexts;
class MessageBoxes;

// What the main window works with for the life of the process.
struct MainServices {
    Platform platform;
    LanguageTexts& texts;
    MessageBoxes& boxes;
    ProgramFiles files;
    DescriptionDatabase database;
};

} // namespace sw
