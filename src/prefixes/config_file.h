#pragma once

#include "found_prefix.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace sw {

// The most a launcher's configuration file may hold: more is no configuration but a mistake or an
// attack, and reading it would stall the search.
inline constexpr qint64 kMaxConfigBytes = 4 * 1024 * 1024;

// The whole of a configuration file, or nothing with a note saying why: it is missing (no note),
// not a plain file (a FIFO would block, a device never ends), a link that leads nowhere or in a
// loop, larger than kMaxConfigBytes, or unreadable.
std::optional<QByteArray> readConfigFile(const QString& path, std::vector<PrefixSearchNote>& notes);

// A path as a launcher writes it: "~/" stands for home; a relative path means nothing.
QString launcherPath(const QString& written, const QString& home);

} // namespace sw
