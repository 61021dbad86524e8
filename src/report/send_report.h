#pragma once

#include <QString>
#include <chrono>

namespace sw {

// How long a report may take before it counts as not sent, so an unreachable host cannot hold
// the window.
inline constexpr std::chrono::milliseconds kReportTimeout{15000};

// Access type 1 connects directly; any other value uses the system's proxy settings.
inline constexpr int kDirectAccess = 1;

// Makes one GET request of the address, always from the network, with the agent "Tidyra". True when
// a server answered, whatever its status; false when none did within the timeout. Waits in a local
// event loop, so windows keep painting; a window that calls it must keep its user from starting
// another request meanwhile.
bool sendReport(const QString& address, int accessType, std::chrono::milliseconds timeout = kReportTimeout);

} // namespace sw
