#include "written_program_lookup.h"

#include "platform/command_line.h"
#include "platform/path_resolution.h"

#include <QHash>

namespace sw {

namespace {

QString defaultEnvironmentValue(const QString& name) {
    static const QHash<QString, QString> values = {
        {"ALLUSERSPROFILE", "C:\\ProgramData"},
        {"APPDATA", "C:\\Users\\user\\AppData\\Roaming"},
        {"COMMONPROGRAMFILES", "C:\\Program Files\\Common Files"},
        {"COMMONPROGRAMFILES(X86)", "C:\\Program Files (x86)\\Common Files"},
        {"HOMEDRIVE", "C:"},
        {"HOMEPATH", "\\Users\\user"},
        {"LOCALAPPDATA", "C:\\Users\\user\\AppData\\Local"},
        {"PROGRAMDATA", "C:\\ProgramData"},
        {"PROGRAMFILES", "C:\\Program Files"},
        {"PROGRAMFILES(X86)", "C:\\Program Files (x86)"},
        {"PROGRAMW6432", "C:\\Program Files"},
        {"PUBLIC", "C:\\Users\\Public"},
        {"SYSTEMDRIVE", "C:"},
        {"SYSTEMROOT", "C:\\Windows"},
        {"TEMP", "C:\\Users\\user\\AppData\\Local\\Temp"},
        {"TMP", "C:\\Users\\user\\AppData\\Local\\Temp"},
        {"USERNAME", "user"},
        {"USERPROFILE", "C:\\Users\\user"},
        {"WINDIR", "C:\\Windows"},
    };
    // Windows looks environment names up regardless of case.
    return values.value(name.toUpper());
}

bool hasProgramExtension(const QString& path) {
    static const char* const extensions[] = {".exe", ".com", ".bat", ".cmd", ".scr", ".pif"};
    for (const char* extension : extensions) {
        if (path.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The line after leading blanks and an opening quote.
QString programStart(const QString& line) {
    qsizetype start = 0;
    while (start < line.size() && line[start] == u' ')
        ++start;
    if (start < line.size() && line[start] == u'"')
        ++start;
    return line.mid(start);
}

} // namespace

ProgramLookup writtenProgramLookup(const QString& commandLine) {
    const QString written = programStart(expandEnvironmentNames(commandLine, defaultEnvironmentValue));
    ProgramLookup lookup;
    lookup.environmentValue = defaultEnvironmentValue;
    lookup.programExists = [written](const QString& path) {
        return hasProgramExtension(path) && written.startsWith(path);
    };
    lookup.searchProgram = [written](const QString& name) -> std::optional<QString> {
        const QString withoutExe =
            name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ? name.chopped(4) : QString();
        const bool asWritten = hasProgramExtension(name) && written.startsWith(name);
        const bool exeAdded = !withoutExe.isEmpty() && written.startsWith(withoutExe) &&
                              (written.size() == withoutExe.size() || written[withoutExe.size()] == u' ' ||
                               written[withoutExe.size()] == u'"');
        if (!asWritten && !exeAdded)
            return std::nullopt;
        return QStringLiteral("C:\\Windows\\System32\\") + name;
    };
    return lookup;
}

} // namespace sw
