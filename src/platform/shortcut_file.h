#pragma once

#include "platform_error.h"

#include <QString>
#include <cstdint>

namespace sw {

class ShortcutError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

// The record handed to createShortcut. A new entry fills only the target (field 2) and the working
// path (field 6) with the entry's program path; an edited shortcut carries over the other fields of
// the link it replaces.
struct ShortcutInfo {
    QString description;
    QString target;
    QString arguments;
    QString iconPath;
    std::int32_t iconIndex = 0;
    QString workingPath;
    std::int16_t showCommand = 0;
};

// Reads and writes shortcut (.lnk) files. Paths are the managed system's paths (Windows paths on
// a Wine prefix); the target is the Windows path or command line that the link starts.
class ShortcutFile {
public:
    virtual ~ShortcutFile() = default;

    // Writes a link at linkPath whose target is info.target. Throws ShortcutError on failure.
    virtual void createShortcut(const QString& linkPath, const ShortcutInfo& info) = 0;
    // The target of the link last loaded; empty when none was loaded or the link names none.
    virtual QString getTarget() const = 0;
    // The arguments the link passes to its target; empty when it has none.
    virtual QString getArguments() const { return {}; }
    // Everything the link last loaded holds (target, arguments, working folder, icon, description,
    // show command); an empty record when none was loaded.
    virtual ShortcutInfo getInfo() const = 0;
    // Reads the link at linkPath. Throws ShortcutError when the file cannot be read or parsed.
    virtual void loadShortcut(const QString& linkPath) = 0;
};

} // namespace sw
