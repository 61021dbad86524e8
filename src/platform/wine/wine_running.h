#pragma once

#include <QString>
#include <QStringList>

namespace sw {

// The `lock` files a wineserver for this prefix would hold (wine-facts §2): upstream's
// /tmp/.wine-<uid>/server-<dev>-<ino>/lock, Debian's /run/user/<uid>/wine/server-<dev>-<ino>/lock and
// Debian's $TMPDIR/<name in $prefix/wineserver>/server-<dev>-<ino>/lock. Empty when the prefix folder
// cannot be examined.
QStringList wineServerLockFiles(const QString& prefixDir);

// Empty when no wineserver holds the prefix; otherwise a sentence saying that Wine is running on the
// prefix (with the server's process id). The test is the fcntl write lock on byte 0 of `lock`
// (F_GETLK on a read-only descriptor; nothing is created or locked).
QString wineRunningOn(const QString& prefixDir);

} // namespace sw
