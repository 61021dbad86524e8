// Feeds arbitrary bytes to the .lnk reader: it may throw ShortcutError, nothing else.
#include "platform/shortcut_file.h"
#include "platform/wine/shell_link.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const sw::ShellLink link = sw::parseShellLink(bytes, QStringLiteral("C:\\links"));
        // Touch the strings so that a bad decode shows up here and not later.
        volatile qsizetype total = link.target.size() + link.arguments.size() + link.workingDir.size();
        (void)total;
    } catch (const sw::ShortcutError&) {
    }
    return 0;
}
