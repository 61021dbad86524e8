#pragma once

#include "platform/wine/shell_link_text.h"

#include <QByteArray>
#include <QString>

namespace sw::lnk {

// Decodes an IDList (the items and the terminator, without the size in front) made of
// My Computer, a drive and file entries into "C:\dir\file". Empty for any other shape: known
// folders, delegates, network places or damaged items.
QString decodeIdList(ByteView list);

// The IDList for a drive path "C:\dir\file" as Windows XP writes it, with long names in both the
// ANSI primary name and the Unicode extension block. Includes the terminator, not the size.
QByteArray buildIdList(const QString& drivePath);

} // namespace sw::lnk
