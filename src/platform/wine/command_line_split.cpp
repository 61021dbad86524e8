#include "command_line_split.h"

namespace sw {

namespace {
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
} // namespace

QStringList splitCommandLine(const QString& commandLine) {
    QStringList arguments;
    const qsizetype size = commandLine.size();
    qsizetype i = 0;
    while (i < size && isBlank(commandLine.at(i)))
        ++i;
    if (i == size)
        return arguments;

    // The program name: quoted up to the next quote, else up to the next blank.
    QString program;
    if (commandLine.at(i) == QLatin1Char('"')) {
        ++i;
        while (i < size && commandLine.at(i) != QLatin1Char('"'))
            program += commandLine.at(i++);
        if (i < size)
            ++i;
    } else {
        while (i < size && !isBlank(commandLine.at(i)))
            program += commandLine.at(i++);
    }
    arguments.append(program);
    while (i < size && isBlank(commandLine.at(i)))
        ++i;

    QString current;
    bool inArgument = false;
    int backslashes = 0;
    int quotes = 0; // odd while inside quotes
    while (i < size) {
        const QChar c = commandLine.at(i);
        if (isBlank(c) && quotes == 0) {
            arguments.append(current);
            current.clear();
            inArgument = false;
            backslashes = 0;
            while (i < size && isBlank(commandLine.at(i)))
                ++i;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('\\')) {
            current += c;
            ++backslashes;
            ++i;
        } else if (c == QLatin1Char('"')) {
            if (backslashes % 2 == 0) {
                current.chop(backslashes / 2);
                ++quotes;
            } else {
                current.chop(backslashes / 2 + 1);
                current += QLatin1Char('"');
            }
            ++i;
            backslashes = 0;
            // Further quotes: every third one is a literal quote.
            while (i < size && commandLine.at(i) == QLatin1Char('"')) {
                if (++quotes == 3) {
                    current += QLatin1Char('"');
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2)
                quotes = 0;
        } else {
            current += c;
            backslashes = 0;
            ++i;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

} // namespace sw
