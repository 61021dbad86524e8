// Feeds arbitrary bytes to both database readers, then rates a few entries against whatever
// was read, so that fuzzed patterns reach the matcher as well.
#include "info/description_database.h"
#include "info/entry_rating.h"

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

    const int found = sw::findRecord(db, QStringLiteral("\"C:\\Program Files\\Tool\\tool.exe\" -auto 12"),
                                     QStringLiteral(" Acme Inc. "), QStringLiteral("Tool [Updater]"));
    if (found < 0 || found > db.count())
        std::abort();
    const QList<sw::Link> links = sw::parseLinks(db.description(found).links);
    if (links.size() > db.description(found).links.count(u'|') + 1)
        std::abort();
    return 0;
}
