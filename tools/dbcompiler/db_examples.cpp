#include "db_examples.h"

#include "info/description_database.h"
#include "info/entry_rating.h"
#include "info/written_program_lookup.h"
#include "platform/command_line.h"
#include "platform/path_resolution.h"

namespace sw::dbcompiler {

namespace {

QString place(const SourceRecord& record) {
    return QStringLiteral("%1:%2").arg(record.fileName).arg(record.line);
}

} // namespace

ExampleCheck checkExamples(const QList<SourceRecord>& records) {
    DescriptionDatabase database;
    database.searchTable.reserve(records.size());
    for (const SourceRecord& record : records)
        database.searchTable.append(
            {record.risk, record.filePattern, record.companyPattern, record.namePattern});

    ExampleCheck check;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const SourceRecord& record = records[i];
        const int own = int(i + 1);
        const qsizetype failuresBefore = check.failures.size();
        const auto fail = [&](const SourceExample& example, const QString& what, const QString& why) {
            check.failures.append(QStringLiteral("%1:%2: record at line %3 (file = %4): %5 \"%6\" %7")
                                      .arg(record.fileName)
                                      .arg(example.line)
                                      .arg(record.line)
                                      .arg(record.filePattern, what, example.commandLine, why));
        };
        for (const SourceExample& example : record.examples) {
            const ProgramLookup lookup = writtenProgramLookup(example.commandLine);
            const CommandLine parsed = parseCommandLine(example.commandLine, lookup);
            if (!parsed.program) {
                fail(example, QStringLiteral("example"),
                     QStringLiteral("names no program the window would find"));
                continue;
            }
            const int found =
                findRecord(database, ratingSubject(parsed, record.exampleCompany, record.exampleName));
            if (found != own)
                fail(example, QStringLiteral("example"),
                     found == 0 ? QStringLiteral("rates to no record")
                                : QStringLiteral("rates to the record at %1").arg(place(records[found - 1])));
        }
        for (const SourceExample& example : record.friends) {
            if (rateCommandLine(database, example.commandLine, QString(), QString(),
                                writtenProgramLookup(example.commandLine)) == own)
                fail(example, QStringLiteral("friend"), QStringLiteral("rates to this record"));
        }
        if (!record.examples.isEmpty()) {
            ++check.withExamples;
            if (check.failures.size() == failuresBefore)
                ++check.passing;
        }
    }
    return check;
}

} // namespace sw::dbcompiler
