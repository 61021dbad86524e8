#include "path_resolution.h"

#include "platform/system_info.h"

namespace sw {

QString ExpandEnvironmentNames(const QString& text, const SystemInfo& system) {
    QString result = text;
    qsizetype searchFrom = 0;
    while (true) {
        const qsizetype open = result.indexOf(QLatin1Char('%'), searchFrom);
        if (open < 0)
            break;
        const qsizetype close = result.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0)
            break;
        const QString name = result.mid(open + 1, close - open - 1);
        const QString value = name.isEmpty() ? QString() : system.environmentValue(name);
        if (value.isEmpty()) {
            // Leave the unknown name in place and look for the next pair after its closing "%".
            searchFrom = close;
            continue;
        }
        const QString pair = QLatin1Char('%') + name + QLatin1Char('%');
        result.replace(open, pair.size(), value);
        // Later occurrences of the same pair get the same value; the inserted value is not scanned
        // again, so a value holding its own name cannot loop.
        qsizetype next = open + value.size();
        for (qsizetype at = result.indexOf(pair, next); at >= 0; at = result.indexOf(pair, next)) {
            result.replace(at, pair.size(), value);
            next = at + value.size();
        }
        searchFrom = open + value.size();
    }
    return result;
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
