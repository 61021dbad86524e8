#pragma once

#include "found_prefix.h"

namespace sw {

// Finds the Wine prefixes of every known source under places.home, each folder once, in the order
// of the sources. Never throws: a configuration file that cannot be read becomes a note.
PrefixSearch findPrefixes(const PrefixSearchPlaces& places);

// True when folder holds system.reg and user.reg.
bool looksLikePrefix(const QString& folder);

} // namespace sw
