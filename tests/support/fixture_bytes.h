#pragma once

#include "temp_prefix.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace sw::test {

// The bytes of a file, or an empty array when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of a file in the fixtures folder ("registry/wine8_user.reg", "tool_full.lnk", ...).
inline QByteArray fixtureBytes(const QString& name) {
    return fileBytes(fixture(name));
}

} // namespace sw::test
