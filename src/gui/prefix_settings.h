#pragma once

#include "prefixes/found_prefix.h"

#include <QString>
#include <QStringList>

namespace sw {

struct ProgramFiles;

// The demo prefix the build writes beside the program tree, when it is there; empty otherwise.
QString demoPrefixFolder(const ProgramFiles& files);

// The name the window shows for the prefix in folder: its name among the found prefixes, else
// the folder's own name.
QString prefixNameOf(const QString& folder, const std::vector<FoundPrefix>& found);

} // namespace sw
