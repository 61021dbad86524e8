#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace sw {

// Wine keeps a file's hidden and system marks in this extended attribute, as "0x" and hex digits.
inline constexpr const char* kDosAttribName = "user.DOSATTRIB";
inline constexpr int kHiddenBit = 0x2;
inline constexpr int kSystemBit = 0x4;

// The hidden and system bits of the file's attribute as Wine parses it (a trailing NUL allowed); 0
// when it has none or it cannot be read.
int readDosAttrib(const QByteArray& hostFile);

// Stores the bits, or removes the attribute when none is set. Throws FileSystemError, naming a file
// system without extended attributes as such.
void writeDosAttrib(const QString& hostFile, int bits);

// Read-only is the absence of write bits; clearing it adds write bits where read bits are. Throws
// FileSystemError.
void writeReadOnly(const QString& hostFile, const struct stat& st, bool readOnly);

} // namespace sw
