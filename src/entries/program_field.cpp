#include "program_field.h"

namespace sw {

bool lacksQuotes(const QString& programField, const QString& programFile) {
    const QString field = programField.trimmed();
    if (field.startsWith(QLatin1Char('"')) || !field.contains(QLatin1Char(' ')))
        return false;
    // The field starts with the file found: the blanks in question are those of its path.
    if (!programFile.isEmpty() && field.startsWith(programFile, Qt::CaseInsensitive))
        return programFile.contains(QLatin1Char(' '));
    // Else a path goes on past the first blank when the part before it names no file (no extension)
    // and a folder separator follows.
    const qsizetype blank = field.indexOf(QLatin1Char(' '));
    const QString first = field.left(blank);
    const QString firstName = first.mid(first.lastIndexOf(QLatin1Char('\\')) + 1);
    return !firstName.contains(QLatin1Char('.')) && field.indexOf(QLatin1Char('\\'), blank) >= 0;
}

} // namespace sw
