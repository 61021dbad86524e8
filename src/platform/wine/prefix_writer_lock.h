#pragma once

#include <QString>

#include <chrono>
#include <memory>

namespace sw {

// How long a writer waits for another one before it gives up.
inline constexpr int kWriterWaitSeconds = 5;

// The file whose lock makes a process the prefix's only writer: "startwarden/writer.lock" in the prefix.
QString prefixWriterLockFile(const QString& prefixDir);

// Takes the exclusive fcntl lock on the prefix's writer lock file and holds it while the returned object
// lives; other StartWarden processes that want to write the prefix wait meanwhile. Waits up to `wait`
// for another process's lock; null when it is still held then. Holds of one process share its one lock.
// When the lock file cannot be made (a prefix the user cannot write), the hold holds nothing: the
// write itself then says what it cannot do.
std::shared_ptr<void> holdPrefixWriterLock(const QString& prefixDir, std::chrono::milliseconds wait);

} // namespace sw
