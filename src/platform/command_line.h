#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace sw {

// What taking a command line apart asks of the system that would start it. The window and the
// command line ask the managed system; the database compiler, which has no files, answers from
// the command line's own text. A function left empty finds nothing (and expands no names).
struct ProgramLookup {
    // The value of an environment name; empty when unset.
    std::function<QString(const QString&)> environmentValue;
    // The full path of a bare file name found on the search path; nothing when not found.
    std::function<std::optional<QString>(const QString&)> searchProgram;
    // Whether a path names an existing program file.
    std::function<bool(const QString&)> programExists;
};

// A command line taken apart as Windows starts it.
struct CommandLine {
    QString text; // the line with environment names replaced
    // The program file; nothing for a bare name not found or when the line cannot be taken apart.
    std::optional<QString> program;
    bool unclosedQuote = false; // the line cannot be taken apart: its program's quote is not closed
    // Where the program's file name begins in `text` (after its last "\" or "/", after an opening
    // quote): the program text runs from here to the end of the line.
    qsizetype nameStart = 0;
    // What a known host (rundll32, wscript, cscript, mshta, powershell, pwsh, cmd /c, explorer,
    // Update.exe --processStart) runs: the script, DLL or app's file name, unquoted, followed by
    // what follows it in the line; or an inline script or address as written. Empty for any other
    // program.
    QString runText;
};

// Takes a command line apart:
// - a line that starts with a quote (after blanks) names the program up to the next quote; an
//   unclosed quote gives no program and sets unclosedQuote;
// - otherwise the line is tried blank by blank, as CreateProcess does: each candidate up to a blank
//   (and with ".exe" added when its file name has no extension) is looked up, a path with "\" by
//   programExists, a bare name on the search path, and the first found wins; when none is found the
//   part before the first blank is the program (none when it is a bare name);
// - a program path is returned as found; it is not tested for existence when quoted.
CommandLine parseCommandLine(const QString& line, const ProgramLookup& lookup);

// The part of a command line that rating matches against: from the program's file name to the end
// (quotes and arguments kept, the program's folder left out).
inline QString programText(const CommandLine& parsed) {
    return parsed.text.mid(parsed.nameStart);
}

} // namespace sw
