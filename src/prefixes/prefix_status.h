#pragma once

#include <QString>

namespace sw {

class LanguageTexts;
struct Platform;

// What the chooser and the `prefixes` command show of a prefix beyond its name and folder.
struct PrefixStatus {
    int entries = 0;      // the rows of a listing of every category
    bool running = false; // a wineserver holds the prefix
};

// Lists every category of the prefix behind platform and asks whether Wine runs on it.
PrefixStatus prefixStatus(const Platform& platform, const LanguageTexts& texts);

} // namespace sw
