#pragma once

#include "platform/desktop_services.h"

#include <QStringList>

namespace sw::test {

// Records the command lines and addresses it is asked for instead of starting Wine or a browser.
class RecordingDesktop : public DesktopServices {
public:
    QStringList started, opened;
    void startCommandLine(const QString& commandLine) override { started << commandLine; }
    bool openUrl(const QString& address) override {
        opened << address;
        return true;
    }
    bool openServiceConsole() override { return false; }
};

} // namespace sw::test
