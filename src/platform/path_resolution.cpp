#include "path_resolution.h"

#include "platform/system_info.h"

namespace sw {

QString ExpandEnvironmentNames(const QString& text, const std::function<QString(const QString&)>& valueOf) {
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

QString ExpandEnvironmentNames(const QString& text, const SystemInfo& system) {
    return ExpandEnvironmentNames(text,
                                  [&system](const QString& name) { return system.environmentValue(name); });
}

QString ResolveProgramPath(const QString& commandLine, const SystemInfo& system) {
    const QString expanded = ExpandEnvironmentNames(commandLine, system);
    QString program;
    if (expanded.contains(QLatin1Char('"'))) {
        const qsizetype closing = expanded.indexOf(QLatin1Char('"'), 1);
        if (closing < 0)
            return kUnparsable;
        program = expanded.mid(1, closing - 1);
    } else if (const qsizetype blank = expanded.indexOf(QLatin1Char(' ')); blank >= 0) {
        program = expanded.left(blank);
    } else {
        program = expanded;
    }
    if (program.contains(QLatin1Char('\\')))
        return program;
    if (program.isEmpty())
        return kNotFound;
    const QString found = system.SearchProgramFile(program);
    if (found != kNotFound)
        return found;
    return system.SearchProgramFile(program + QStringLiteral(".exe"));
}

} // namespace sw
