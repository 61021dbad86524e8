#pragma once

#include "platform/platform.h"

#include <QString>

namespace sw {

// The services of a Wine prefix as the windows use them: those of makeWinePlatform, with the
// programs' icons and addresses opened by the desktop.
Platform makeWineGuiPlatform(const QString& prefixFolder);

} // namespace sw
