#pragma once

#include <stdexcept>

namespace sw {

// The base of what the core raises when it refuses or cannot finish an action on entries or
// backups (a refused write, a rejected entry, a failed removal or restore); the platform's own
// failures derive from PlatformError instead.
class CoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace sw
