#include "path_resolution.h"

#include "platform/file_system.h"
#include "platform/system_info.h"

namespace sw {

QString expandEnvironmentNames(const QString& text, const std::function<QString(const QString&)>& valueOf) {
    // Values that expand into each other (A holds %B%, B holds %A%) would go on for ever, or grow
    // without end; Windows itself stops at 32,767 characters.
    constexpr int kMostReplacements = 1000;
    constexpr qsizetype kLongestText = 32767;
    QString result = text;
    qsizetype searchFrom = 0;
    for (int replacements = 0; replacements < kMostReplacements && result.size() <= kLongestText;) {
        const qsizetype open = result.indexOf(QLatin1Char('%'), searchFrom);
        if (open < 0)
            break;
        const qsizetype close = result.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0)
            break;
        const QString name = result.mid(open + 1, close - open - 1);
        const QString pair = QLatin1Char('%') + name + QLatin1Char('%');
        const QString value = name.isEmpty() ? QString() : valueOf(name);
        if (value.isEmpty() || value.contains(pair)) {
            // Left as it is; its closing "%" may open the next pair.
            searchFrom = close;
            continue;
        }
        result.replace(pair, value);
        ++replacements;
        searchFrom = 0;
    }
    return result;
}

QString expandEnvironmentNames(const QString& text, const SystemInfo& system) {
    return expandEnvironmentNames(text,
                                  [&system](const QString& name) { return system.environmentValue(name); });
}

ProgramLookup programLookup(const SystemInfo& system, const FileSystem* files) {
    ProgramLookup lookup;
    lookup.environmentValue = [&system](const QString& name) { return system.environmentValue(name); };
    lookup.searchProgram = [&system](const QString& name) { return system.searchProgramFile(name); };
    lookup.programExists = [files](const QString& path) { return files && programFileExists(*files, path); };
    return lookup;
}

std::optional<QString> resolveProgramPath(const QString& commandLine, const SystemInfo& system,
                                          const FileSystem* files) {
    return parseCommandLine(commandLine, programLookup(system, files)).program;
}

} // namespace sw
