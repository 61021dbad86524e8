#include "db_stats.h"

#include "db_examples.h"

#include <QFileInfo>
#include <QMap>
#include <QTextStream>

#include <algorithm>

namespace sw::dbcompiler {

namespace {

template <typename Predicate> qsizetype countIf(const QList<SourceRecord>& records, Predicate predicate) {
    return std::count_if(records.cbegin(), records.cend(), predicate);
}

} // namespace

QString coverageReport(const QList<SourceRecord>& records) {
    // Files keep the order they were read in, which is the order records are tried.
    QList<std::pair<QString, qsizetype>> byFile;
    QMap<QString, qsizetype> byLanguage;
    for (const SourceRecord& record : records) {
        const QString file = QFileInfo(record.fileName).fileName();
        if (byFile.isEmpty() || byFile.last().first != file)
            byFile.append({file, 0});
        ++byFile.last().second;
        for (auto it = record.descriptions.cbegin(); it != record.descriptions.cend(); ++it) {
            if (!it.value().isEmpty())
                ++byLanguage[it.key()];
        }
    }

    QString report;
    QTextStream out(&report);
    out << "records: " << records.size() << '\n';
    out << "by source file:\n";
    for (const auto& [file, count] : byFile)
        out << "  " << file << ": " << count << '\n';
    out << "by language:\n";
    for (auto it = byLanguage.cbegin(); it != byLanguage.cend(); ++it)
        out << "  " << it.key() << ": " << it.value() << '\n';
    out << "with links: " << countIf(records, [](const SourceRecord& r) { return !r.links.isEmpty(); })
        << '\n';
    out << "with a company guard: "
        << countIf(records, [](const SourceRecord& r) { return r.companyPattern != u"*"; }) << '\n';
    out << "with an entry-name guard: "
        << countIf(records, [](const SourceRecord& r) { return r.namePattern != u"*"; }) << '\n';
    out << "with the risk flag: " << countIf(records, [](const SourceRecord& r) { return r.risk != 0; })
        << '\n';
    const ExampleCheck examples = checkExamples(records);
    out << "with examples: " << examples.withExamples << '\n';
    out << "with passing examples: " << examples.passing << '\n';
    out << "without examples: " << records.size() - examples.withExamples << '\n';
    return report;
}

} // namespace sw::dbcompiler
