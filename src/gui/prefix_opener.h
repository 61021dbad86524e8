#pragma once

#include "platform/platform.h"

#include <QString>
#include <functional>

namespace sw {

// How the window opens another prefix; the program supplies the implementation (Wine's).
struct PrefixOpener {
    // The platform of the prefix in folder; also called from the chooser's counting threads.
    std::function<Platform(const QString& folder)> platform;
    // Empty when folder is a prefix the window can show; otherwise one sentence saying why not.
    std::function<QString(const QString& folder)> problem;
};

} // namespace sw
