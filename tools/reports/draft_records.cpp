#include "draft_records.h"

namespace sw::reports {

namespace {

// A comment is one line.
QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

} // namespace

QString draftFilePattern(const QString& program) {
    const qsizetype slash = program.lastIndexOf(QLatin1Char('\\'));
    QString file = program.mid(slash + 1).trimmed();
    if (file.startsWith(QLatin1Char('"')))
        file.remove(0, 1);
    // The name ends at a closing quote, or at the first blank or comma after its extension.
    qsizetype end = file.indexOf(QLatin1Char('"'));
    if (end < 0) {
        const qsizetype dot = file.indexOf(QLatin1Char('.'));
        end = file.size();
        for (qsizetype i = qMax<qsizetype>(dot, 0); i < file.size(); ++i)
            if (file[i] == QLatin1Char(' ') || file[i] == QLatin1Char(',')) {
                end = i;
                break;
            }
    }
    QString pattern;
    for (const QChar c : file.left(end).toUpper()) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            pattern += QLatin1Char('[') + c + QLatin1Char(']');
        else
            pattern += c;
    }
    return pattern + QLatin1Char('*');
}

QString draftRecords(const QList<StoredReport>& reports) {
    QString out = QStringLiteral(
                      "# Drafts from %1 reported program(s), most reported first. Decide the risk (0 or 1),\n"
                      "# write en and de, check the patterns, and move each record into its file.\n")
                      .arg(reports.size());
    for (const StoredReport& stored : reports) {
        const ReceivedReport& r = stored.report;
        out += QStringLiteral("\n# Reported %1 time(s), first %2, last %3.\n")
                   .arg(stored.count)
                   .arg(stored.firstTime.toString(Qt::ISODate), stored.lastTime.toString(Qt::ISODate));
        out += QStringLiteral("# Entry \"%1\" in %2; program: %3\n")
                   .arg(oneLine(r.name), oneLine(r.place), oneLine(r.program));
        out += QStringLiteral("# Company: %1\n")
                   .arg(r.company.isEmpty() ? QStringLiteral("(none)") : oneLine(r.company));
        if (!r.details.isEmpty())
            out += QStringLiteral("# Notice: %1\n").arg(oneLine(r.details));
        out += QStringLiteral("[record]\nfile = %1\ncompany = *\nname = *\nrisk = ?\nen =\nde =\n")
                   .arg(draftFilePattern(r.program));
    }
    return out;
}

} // namespace sw::reports
