#pragma once

#include "platform_error.h"

#include <QString>

namespace sw {

class LaunchError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

// Starts command lines of the managed system and opens web addresses.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Starts the command line without waiting and without a working folder. Throws LaunchError.
    virtual void startCommandLine(const QString& commandLine) = 0;
    // Opens an address with the desktop's handler; false when nothing could open it.
    virtual bool openUrl(const QString& address) = 0;
    // Opens the system's service console; false where the system has none.
    virtual bool openServiceConsole() = 0;
};

} // namespace sw
