#pragma once

#include "command_line.h"

#include <QString>
#include <functional>
#include <optional>

namespace sw {

class FileSystem;
class SystemInfo;

// Replaces "%NAME%" pairs with environment values: every occurrence of the first pair's exact
// spelling at once, then the scan starts again at the first "%", so values that hold pairs are
// expanded too. A name without a value, or whose value holds its own pair, stays in the text, and
// values that name each other stop after a bounded number of rounds: the scan always ends.
QString expandEnvironmentNames(const QString& text, const std::function<QString(const QString&)>& valueOf);
// The same with the managed system's environment.
QString expandEnvironmentNames(const QString& text, const SystemInfo& system);

// The managed system as parseCommandLine asks it. Without a file system no path counts as existing,
// so an unquoted line is split at its first blank.
ProgramLookup programLookup(const SystemInfo& system, const FileSystem* files);

// The program file a command line starts (see parseCommandLine); nothing when a bare name was not
// found or the command line cannot be taken apart.
std::optional<QString> resolveProgramPath(const QString& commandLine, const SystemInfo& system,
                                          const FileSystem* files = nullptr);

} // namespace sw
