#pragma once

#include "platform/platform.h"
#include "platform/wine/wine_desktop_services.h"

#include <QString>

namespace sw {

// The services of a Wine prefix, all reading and writing the prefix's own files. The prefix must
// be valid (WinePrefix::problem() empty). openUrl opens web addresses; without one none opens.
Platform makeWinePlatform(const QString& prefixFolder, WineDesktopServices::UrlOpener openUrl = {});

} // namespace sw
