#include "dos_attributes.h"

#include "durable_file.h"
#include "platform/file_system.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace sw {

// The DOS bits of the xattr as Wine parses it: "0x" then hex digits, a trailing NUL allowed.
int readDosAttrib(const QByteArray& hostFile) {
    char buffer[64];
    const ssize_t length = ::getxattr(hostFile.constData(), kDosAttribName, buffer, sizeof buffer - 1);
    if (length <= 2 || buffer[0] != '0' || buffer[1] != 'x')
        return 0;
    buffer[length] = '\0';
    char* end = nullptr;
    const long value = std::strtol(buffer, &end, 16);
    return *end == '\0' ? static_cast<int>(value) & (kHiddenBit | kSystemBit) : 0;
}

void writeDosAttrib(const QString& hostFile, int bits) {
    const QByteArray file = QFile::encodeName(hostFile);
    int result = 0;
    if (bits != 0) {
        const QByteArray text = "0x" + QByteArray::number(bits, 16);
        result = ::setxattr(file.constData(), kDosAttribName, text.constData(),
                            static_cast<size_t>(text.size()), 0);
    } else {
        result = ::removexattr(file.constData(), kDosAttribName);
        if (result != 0 && (errno == ENODATA || errno == ENOTSUP))
            result = 0; // nothing stored, nothing to remove
    }
    if (result == 0)
        return;
    const int error = errno;
    if (error == ENOTSUP)
        throw FileSystemError(
            QStringLiteral("The file system of %1 does not support extended attributes, so the "
                           "hidden and system marks cannot be stored.")
                .arg(hostFile)
                .toStdString());
    throw FileSystemError(QStringLiteral("The attributes of %1 cannot be written: %2.")
                              .arg(hostFile, QString::fromLocal8Bit(std::strerror(error)))
                              .toStdString());
}

// Read-only is the absence of write bits; clearing it adds write bits where read bits are.
void writeReadOnly(const QString& hostFile, const struct stat& st, bool readOnly) {
    if (S_ISDIR(st.st_mode) && readOnly)
        return; // Wine ignores read-only on folders
    mode_t mode = st.st_mode & 07777;
    if (readOnly)
        mode &= ~mode_t(0222);
    else
        mode |= (0600 | ((mode & 044) >> 1)) & ~currentUmask();
    if (mode == (st.st_mode & 07777))
        return;
    if (::chmod(QFile::encodeName(hostFile).constData(), mode) != 0)
        throw FileSystemError(QStringLiteral("The read-only mark of %1 cannot be changed: %2.")
                                  .arg(hostFile, QString::fromLocal8Bit(std::strerror(errno)))
                                  .toStdString());
}

} // namespace sw
