#include "command_line.h"

#include "path_resolution.h"

#include <QList>

namespace sw {

namespace {

bool isBlank(QChar ch) {
    return ch == u' ' || ch == u'\t';
}

// The position after the last "\" in text[from, to), or `from` when there is none.
qsizetype fileNameStart(const QString& text, qsizetype from, qsizetype to) {
    for (qsizetype i = to; i > from; --i) {
        if (text[i - 1] == u'\\')
            return i;
    }
    return from;
}

QString fileNameOf(const QString& path) {
    return path.mid(fileNameStart(path, 0, path.size()));
}

bool hasExtension(const QString& path) {
    return path.indexOf(u'.', fileNameStart(path, 0, path.size())) >= 0;
}

// "javascript:...", "http://...", "shell:startup": an address or inline script, not a file. A drive
// letter has a single character before its colon.
bool isAddress(const QString& value) {
    const qsizetype colon = value.indexOf(u':');
    if (colon < 2 || !value[0].isLetter())
        return false;
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar ch = value[i];
        if (!ch.isLetterOrNumber() && ch != u'+' && ch != u'.' && ch != u'-')
            return false;
    }
    return true;
}

// One argument: its span in the line and its text without quotes. Quotes only group blanks here;
// a host's own finer rules do not change where a script or DLL path starts.
struct Token {
    qsizetype start = 0;
    qsizetype end = 0;
    QString value;
};

QList<Token> tokensFrom(const QString& text, qsizetype from) {
    QList<Token> tokens;
    qsizetype i = from;
    while (true) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size())
            return tokens;
        Token token;
        token.start = i;
        bool quoted = false;
        for (; i < text.size() && (quoted || !isBlank(text[i])); ++i) {
            if (text[i] == u'"')
                quoted = !quoted;
            else
                token.value.append(text[i]);
        }
        token.end = i;
        tokens.append(token);
    }
}

// The file name of the path that makes up the first `pathLength` characters of the token's value,
// followed by the line after that path (a closing quote dropped).
QString pathRunText(const QString& text, const Token& token, qsizetype pathLength) {
    qsizetype seen = 0;
    qsizetype i = token.start;
    for (; i < token.end && seen < pathLength; ++i) {
        if (text[i] != u'"')
            ++seen;
    }
    while (i < token.end && text[i] == u'"')
        ++i;
    return fileNameOf(token.value.left(pathLength).trimmed()) + text.mid(i);
}

// The line from the token on, an opening quote dropped: an inline script or an address.
QString inlineRunText(const QString& text, const Token& token) {
    return text.mid(token.start + (text[token.start] == u'"' ? 1 : 0));
}

QString fileOrInline(const QString& text, const Token& token) {
    return isAddress(token.value) ? inlineRunText(text, token) : pathRunText(text, token, token.value.size());
}

const Token* firstNonSwitch(const QList<Token>& tokens) {
    for (const Token& token : tokens) {
        if (!token.value.startsWith(u'/'))
            return &token;
    }
    return nullptr;
}

QString rundll32Target(const QString& text, const QList<Token>& tokens) {
    if (tokens.isEmpty())
        return {};
    const Token& first = tokens.first();
    if (isAddress(first.value))
        return inlineRunText(text, first);
    const qsizetype comma = first.value.indexOf(u',');
    return pathRunText(text, first, comma < 0 ? first.value.size() : comma);
}

bool abbreviates(const QString& option, const char* name, qsizetype shortest = 1) {
    return option.size() >= shortest && QLatin1String(name).startsWith(option);
}

QString powershellTarget(const QString& text, const QList<Token>& tokens) {
    static const char* const valued[] = {
        "windowstyle",  "executionpolicy",   "version",          "psconsolefile", "inputformat",
        "outputformat", "configurationname", "workingdirectory", "settingsfile",  "custompipename"};
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString value = tokens[i].value.toLower();
        if (!value.startsWith(u'-') && !value.startsWith(u'/')) {
            // A bare argument is the command (or, ending in .ps1, the script to run).
            return value.endsWith(QLatin1String(".ps1"))
                       ? pathRunText(text, tokens[i], tokens[i].value.size())
                       : inlineRunText(text, tokens[i]);
        }
        const QString option = value.mid(1);
        const bool hasNext = i + 1 < tokens.size();
        if (abbreviates(option, "file"))
            return hasNext ? pathRunText(text, tokens[i + 1], tokens[i + 1].value.size()) : QString();
        if (abbreviates(option, "command") || abbreviates(option, "encodedcommand") || option == u"ec")
            return hasNext ? inlineRunText(text, tokens[i + 1]) : QString();
        bool takesValue = option == u"w" || option == u"ep" || option == u"ex" || option == u"wd";
        for (const char* name : valued)
            takesValue = takesValue || abbreviates(option, name, 2);
        if (takesValue)
            ++i;
    }
    return {};
}

QString cmdTarget(const QString& text, const QList<Token>& tokens) {
    qsizetype i = 0;
    while (i < tokens.size() && tokens[i].value.compare(QLatin1String("/c"), Qt::CaseInsensitive) != 0 &&
           tokens[i].value.compare(QLatin1String("/k"), Qt::CaseInsensitive) != 0)
        ++i;
    if (++i >= tokens.size())
        return {};
    // "start" runs the next program; a quoted first argument is its window title.
    if (tokens[i].value.compare(QLatin1String("start"), Qt::CaseInsensitive) == 0) {
        ++i;
        if (i < tokens.size() && text[tokens[i].start] == u'"')
            ++i;
        while (i < tokens.size() && tokens[i].value.startsWith(u'/'))
            ++i;
    }
    return i < tokens.size() ? fileOrInline(text, tokens[i]) : QString();
}

QString squirrelTarget(const QString& text, const QList<Token>& tokens) {
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        const QString value = tokens[i].value.toLower();
        if (value == u"--processstart" || value == u"--processstartandwait")
            return pathRunText(text, tokens[i + 1], tokens[i + 1].value.size());
    }
    return {};
}

// What a known host runs, from its arguments; empty for other programs.
QString hostRunText(const QString& programName, const QString& text, qsizetype argumentsStart) {
    QString host = programName.toLower();
    if (host.endsWith(QLatin1String(".exe")))
        host.chop(4);
    static const QStringList hosts = {"rundll32", "wscript", "cscript",  "mshta", "powershell",
                                      "pwsh",     "cmd",     "explorer", "update"};
    if (!hosts.contains(host))
        return {};
    const QList<Token> tokens = tokensFrom(text, argumentsStart);
    if (host == u"rundll32")
        return rundll32Target(text, tokens);
    if (host == u"powershell" || host == u"pwsh")
        return powershellTarget(text, tokens);
    if (host == u"cmd")
        return cmdTarget(text, tokens);
    if (host == u"update")
        return squirrelTarget(text, tokens);
    const Token* target = firstNonSwitch(tokens);
    return target ? fileOrInline(text, *target) : QString();
}

// The program file a candidate names, or an empty text. Without an extension ".exe" is tried too.
QString findCandidate(const QString& candidate, const ProgramLookup& lookup) {
    const bool bare = !candidate.contains(u'\\');
    const auto find = [&](const QString& name) -> QString {
        if (bare) {
            return lookup.searchProgram ? lookup.searchProgram(name).value_or(QString()) : QString();
        }
        return lookup.programExists && lookup.programExists(name) ? name : QString();
    };
    QString found = find(candidate);
    if (found.isEmpty() && !hasExtension(candidate))
        found = find(candidate + QStringLiteral(".exe"));
    return found;
}

// A quoted program or the part before the first blank: returned as written when it holds "\",
// searched for when it is a bare name.
std::optional<QString> resolvePart(const QString& part, const ProgramLookup& lookup) {
    if (part.contains(u'\\'))
        return part;
    if (part.isEmpty() || !lookup.searchProgram)
        return std::nullopt;
    const std::optional<QString> found = lookup.searchProgram(part);
    return found ? found : lookup.searchProgram(part + QStringLiteral(".exe"));
}

} // namespace

CommandLine parseCommandLine(const QString& line, const ProgramLookup& lookup) {
    CommandLine result;
    result.text = lookup.environmentValue ? expandEnvironmentNames(line, lookup.environmentValue) : line;
    const QString& text = result.text;
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    qsizetype programEnd = text.size();
    if (start < text.size() && text[start] == u'"') {
        const qsizetype closing = text.indexOf(u'"', start + 1);
        result.nameStart = fileNameStart(text, start + 1, closing < 0 ? text.size() : closing);
        if (closing < 0) {
            result.unclosedQuote = true;
            return result;
        }
        result.program = resolvePart(text.mid(start + 1, closing - start - 1), lookup);
        programEnd = closing + 1;
    } else {
        // Candidates end at each blank before the first quote, and at the line's end when it has
        // none; the first that names a program wins.
        const qsizetype quote = text.indexOf(u'"', start);
        const qsizetype last = quote < 0 ? text.size() : quote;
        const qsizetype firstBlank = text.indexOf(u' ', start);
        QString found;
        for (qsizetype end = start; end <= last && found.isEmpty(); ++end) {
            if (end == last ? quote >= 0 || end == start : text[end] != u' ' || text[end - 1] == u' ')
                continue;
            found = findCandidate(text.mid(start, end - start), lookup);
            programEnd = end;
        }
        if (!found.isEmpty()) {
            result.program = found;
        } else {
            programEnd = firstBlank < 0 ? text.size() : firstBlank;
            const QString part = text.mid(start, programEnd - start);
            if (part.contains(u'\\'))
                result.program = part;
        }
        result.nameStart = fileNameStart(text, start, programEnd);
    }
    const QString writtenName = text.mid(result.nameStart, programEnd - result.nameStart).remove(u'"');
    result.runText =
        hostRunText(result.program ? fileNameOf(*result.program) : writtenName, text, programEnd);
    return result;
}

} // namespace sw
