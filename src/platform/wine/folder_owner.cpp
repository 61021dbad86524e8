#include "folder_owner.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

namespace {

bool folderOwner(const QByteArray& path, struct stat& st) {
    if (::geteuid() != 0)
        return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    return ::stat(folder.constData(), &st) == 0 && (st.st_uid != 0 || st.st_gid != 0);
}

} // namespace

void takeOwnerOfFolder(int fd, const QByteArray& path) {
    struct stat st {};
    if (folderOwner(path, st) && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // a file system without owners: the file stays root's
    }
}

void takeOwnerOfFolder(const QByteArray& path) {
    struct stat st {};
    if (folderOwner(path, st) && ::lchown(path.constData(), st.st_uid, st.st_gid) != 0) {
        // as above
    }
}

} // namespace sw
