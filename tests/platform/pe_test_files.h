#pragma once

#include "fixture_bytes.h"

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace sw::test {

// Standard output of a tool, or a null array when it is missing or fails.
inline QByteArray runTool(const QString& program, const QStringList& arguments,
                          const QString& workingDirectory = {}) {
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {};
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

// Whether `image` is `source` scaled smoothly to its size (channels within 2 of each other).
inline bool scaledFrom(const QImage& image, const QImage& source) {
    const QImage a = image.convertToFormat(QImage::Format_ARGB32);
    const QImage b = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                         .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_ARGB32);
    if (a.isNull() || a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAlpha(p) == 0 && qAlpha(q) == 0)
                continue;
            for (int shift : {0, 8, 16, 24}) {
                if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > 2)
                    return false;
            }
        }
    }
    return true;
}

// Where Debian's Wine package keeps its 64-bit PE programs.
inline QString winePe(const QString& name) {
    return QStringLiteral("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/") + name;
}

} // namespace sw::test
