#pragma once

#include <QString>
#include <QTemporaryDir>

namespace sw::test {

// Holds the lock a wineserver holds on its `lock` file, without starting Wine: the prefix gets the
// redirect file naming a server folder under the temporary folder (as Debian's Wine does), and the
// lock is an open-file-description lock on byte 0, which the running test's own F_GETLK probes see
// too. Child processes with the same TMPDIR see the same server.
class HeldServerLock {
public:
    explicit HeldServerLock(const QString& prefix);
    ~HeldServerLock();
    HeldServerLock(const HeldServerLock&) = delete;
    HeldServerLock& operator=(const HeldServerLock&) = delete;

    bool locked() const { return m_fd >= 0; }
    // Lets the lock go, as a server that ended.
    void release();

private:
    QTemporaryDir m_serverRoot;
    int m_fd = -1;
};

} // namespace sw::test
