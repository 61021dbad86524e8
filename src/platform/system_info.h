#pragma once

#include <QString>
#include <optional>

namespace sw {

// Special-folder numbers the program asks for.
inline constexpr int kCsidlStartup = 7;
inline constexpr int kCsidlCommonStartup = 24;

// Where the managed system keeps its shell folders, and the environment its programs see.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // The managed path of a special folder, without a trailing backslash, or an empty text.
    virtual QString getSpecialFolder(int folderNumber, bool create, bool verify) const = 0;
    // The value of an environment variable of the managed system; empty when unset.
    virtual QString environmentValue(const QString& name) const = 0;
    // The managed system's search for a program file (as its shell would search), giving the full
    // managed path; nothing when nothing was found.
    virtual std::optional<QString> searchProgramFile(const QString& fileName) const = 0;
    // Whether the system keeps a registry view of its own for 32-bit programs (Wow6432Node), which
    // only a 64-bit system reads.
    virtual bool has32BitView() const { return true; }
};

} // namespace sw
