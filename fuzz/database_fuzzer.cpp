// Feeds arbitrary bytes to both database readers, then rates a few entries against whatever
// was read, so that fuzzed patterns reach the matcher and the record index as well.
#include "info/description_database.h"
#include "info/entry_rating.h"
#include "info/written_program_lookup.h"
#include "platform/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    sw::DescriptionDatabase db;
    QString error;
    qint16 count = 0;
    const bool indexRead = sw::parseSearchIndex(bytes, db.searchTable, count, error);
    if (indexRead != (count >= 1) || (indexRead && db.count() != count))
        std::abort();

    // The same bytes as a description file, skipping the count so records line up differently.
    if (sw::parseDescriptions(bytes.sliced(qMin<qsizetype>(2, bytes.size())), db.descriptionTable, count,
                              error) != indexRead)
        std::abort();

    // A fixed line, and the data's tail as a line of its own: the index must give a scan's answer.
    const QString line = QStringLiteral("\"C:\\Program Files\\Tool\\tool.exe\" -auto 12");
    const int found = sw::rateCommandLine(db, line, QStringLiteral(" Acme Inc. "),
                                          QStringLiteral("Tool [Updater]"), sw::writtenProgramLookup(line));
    const QString tail = sw::decodeWindows1252(bytes.last(qMin<qsizetype>(bytes.size(), 80)));
    const sw::RatingSubject subject = sw::ratingSubject(
        sw::parseCommandLine(tail, sw::writtenProgramLookup(tail)), tail.left(8), tail.right(8));
    if (sw::findRecord(db, subject) != sw::findRecordByScan(db, subject))
        std::abort();
    if (found < 0 || found > db.count())
        std::abort();
    const QList<sw::Link> links = sw::parseLinks(db.description(found).links);
    if (links.size() > db.description(found).links.count(u'|') + 1)
        std::abort();
    return 0;
}
