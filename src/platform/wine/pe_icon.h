#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace sw {

class PeResources;

// The first icon group of the file (RT_GROUP_ICON, first in directory order) rebuilt as an .ico
// file: ICONDIR, one 16-byte entry per image found, then the RT_ICON data (DIB or PNG) unchanged.
// Empty when the file has no group or none of its images.
QByteArray rebuildFirstIconGroup(const PeResources& pe);

// From an .ico file, the image for `size` pixels: of the entries of exactly that size the one of
// the highest colour depth, else the smallest larger one (then the largest) scaled. Null if none
// decodes.
QImage bestIconImage(const QByteArray& ico, int size);

// The program icon of a PE file: the best 16 and 32 pixel images of its first icon group (and of
// `size`, the preferred one, which is added first). Null when the file has no icon.
QIcon readIconImage(const QByteArray& fileBytes, int size);

} // namespace sw
