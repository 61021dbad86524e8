#pragma once

#include <QByteArray>

namespace sw {

// A file or folder the program creates in someone else's prefix belongs to that prefix's owner: run
// by root, it takes the owner and group of the folder that holds it, so that Wine, run by the owner,
// can still replace it. For other users (who cannot give files away) nothing changes.
void takeOwnerOfFolder(int fd, const QByteArray& path);
void takeOwnerOfFolder(const QByteArray& path);

} // namespace sw
