#pragma once

#include <QString>

namespace sw {

// One running copy per user, and the named marker that other processes can see while we run.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;

    // True when another copy of the program runs for the same user. The first call that answers
    // false takes the lock for the life of this object.
    virtual bool anotherInstanceRunning() = 0;
    // Creates a named system object that lives as long as the process; errors are ignored.
    virtual void createMarker(const QString& name) = 0;
};

} // namespace sw
