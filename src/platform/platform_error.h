#pragma once

#include <stdexcept>

namespace sw {

// The base of what the managed system's interfaces raise (registry, file system, shortcuts,
// launching), so that a caller can tell a failure of the system from a refusal of the program.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace sw
