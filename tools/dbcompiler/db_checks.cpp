#include "db_checks.h"

#include "pattern_cover.h"

#include <algorithm>

namespace sw::dbcompiler {

namespace {

constexpr qsizetype kShortNameLength = 3;

bool onlyStars(const QString& pattern) {
    return !pattern.isEmpty() && pattern.count(u'*') == pattern.size();
}

bool hasGuard(const SourceRecord& record) {
    return record.companyPattern != u"*" || record.namePattern != u"*";
}

struct CutRecord {
    PatternElements file;
    PatternElements company;
    PatternElements name;
};

} // namespace

bool isShortFilePattern(const QString& filePattern) {
    if (onlyStars(filePattern))
        return true;
    // The name is what comes before the first literal "."; a "." inside a list does not end it.
    const PatternElement dot{false, {{u'.', u'.'}}};
    const PatternElements elements = patternElements(filePattern);
    const auto nameEnd = std::find(elements.cbegin(), elements.cend(), dot);
    if (nameEnd == elements.cbegin() || elements.first().star)
        return false;
    const auto characters = std::count_if(elements.cbegin(), nameEnd,
                                          [](const PatternElement& element) { return !element.star; });
    return characters <= kShortNameLength;
}

void checkRecords(const QList<SourceRecord>& records, Diagnostics& diagnostics) {
    QList<CutRecord> cut;
    cut.reserve(records.size());
    for (const SourceRecord& record : records) {
        cut.append({patternElements(record.filePattern), patternElements(record.companyPattern),
                    patternElements(record.namePattern)});
        if (!hasGuard(record) && isShortFilePattern(record.filePattern))
            diagnostics.add(record.fileName, record.line,
                            QStringLiteral("file pattern \"%1\" %2; give a company or name pattern other "
                                           "than \"*\"")
                                .arg(record.filePattern,
                                     onlyStars(record.filePattern)
                                         ? QStringLiteral("matches every program")
                                         : QStringLiteral("names a file of three characters or fewer")));
    }
    for (qsizetype later = 1; later < records.size(); ++later) {
        for (qsizetype earlier = 0; earlier < later; ++earlier) {
            // The file pattern decides almost every pair, so it goes first.
            if (!patternCovers(cut[earlier].file, cut[later].file) ||
                !patternCovers(cut[earlier].company, cut[later].company) ||
                !patternCovers(cut[earlier].name, cut[later].name))
                continue;
            const SourceRecord& hidden = records[later];
            const SourceRecord& first = records[earlier];
            diagnostics.add(hidden.fileName, hidden.line,
                            QStringLiteral("record can never be the first match: the record at %1:%2 "
                                           "matches everything it matches; put the narrower one first")
                                .arg(first.fileName)
                                .arg(first.line));
            break;
        }
    }
}

} // namespace sw::dbcompiler
