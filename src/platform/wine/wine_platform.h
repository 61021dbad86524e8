#pragma once

#include "platform/platform.h"

#include <QString>

namespace sw {

// The services of a Wine prefix, all reading and writing the prefix's own files. The prefix must
// be valid (WinePrefix::problem() empty).
Platform makeWinePlatform(const QString& prefixFolder);

} // namespace sw
