#pragma once

#include "temp_prefix.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtGlobal>

#include <sys/xattr.h>

namespace sw::test {

// The bytes of a file, or an empty array when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the bytes to a file, replacing it and making its folders; stops the test program when it
// cannot.
inline QString writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The bytes of a file in the fixtures folder ("registry/wine8_user.reg", "tool_full.lnk", ...).
inline QByteArray fixtureBytes(const QString& name) {
    return fileBytes(fixture(name));
}

// Wine's DOS attributes of a host file as it keeps them ("0x2": hidden), or "<none>".
inline QByteArray dosAttrib(const QString& path) {
    char mark[32];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), "user.DOSATTRIB", mark, sizeof mark);
    return n < 0 ? QByteArray("<none>") : QByteArray(mark, n);
}

} // namespace sw::test
