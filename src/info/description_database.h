#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>

namespace sw {

class RecordIndex;

// One known program: the risk flag and the three patterns that recognise it.
struct SearchRecord {
    qint16 risk = 0; // 0: harmless; anything else: a risk
    QString filePattern;
    QString companyPattern;
    QString namePattern;

    bool operator==(const SearchRecord&) const = default;
};

// The texts shown for search record i; links are "text;address" items joined by "|".
struct DescriptionRecord {
    QString description;
    QString links;

    bool operator==(const DescriptionRecord&) const = default;
};

// Stored 0-based; record i of the files lives at position i - 1.
using SearchTable = QList<SearchRecord>;
using DescriptionTable = QList<DescriptionRecord>;

// The two tables, held for the life of the process. Indices are 1-based as in the files.
struct DescriptionDatabase {
    SearchTable searchTable;
    DescriptionTable descriptionTable;

    int count() const { return int(searchTable.size()); }
    bool isEmpty() const { return searchTable.isEmpty(); }

    // Index 1..count(). An index outside the description table (a short or failed description
    // file) gives an empty record, so lookups never need to check.
    const SearchRecord& search(int index) const { return searchTable.at(index - 1); }
    const DescriptionRecord& description(int index) const;

    // The index over the search table, built on first use and again after the table was replaced.
    const RecordIndex& recordIndex() const;

private:
    mutable std::shared_ptr<const RecordIndex> m_recordIndex;
};

// What a loader read: the record count, or why the file could not be loaded (then the count is 0).
struct DatabaseLoad {
    qint16 count = 0;
    QString error; // empty when the file loaded

    bool loaded() const { return error.isEmpty(); }
};

// Reads Search.dat whole and fills the table with its records. A missing or unreadable file and a
// count below 1 give the reason; records already read stay.
DatabaseLoad loadSearchIndex(const QString& path, SearchTable& searchTable);

// Sizes the table to count empty records, then fills them from a Des_*.dat file. Gives the reason
// the file could not be loaded, empty when it was.
QString loadDescriptions(const QString& path, DescriptionTable& descriptionTable, qint16 count);

// In-memory forms of the loaders (also the fuzzers' entry points). They return false with the
// reason in `error` where the loaders would show a message. A field cut off by the end of the
// data reads as empty (0 for the risk flag), as does everything after it.
bool parseSearchIndex(QByteArrayView bytes, SearchTable& searchTable, qint16& count, QString& error);
bool parseDescriptions(QByteArrayView bytes, DescriptionTable& descriptionTable, qint16 count,
                       QString& error);

// The files' code page. Bytes without a Windows-1252 character (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// decode to the C1 control of the same value, as Windows does.
QString decodeWindows1252(QByteArrayView bytes);
// Fails (returns false) on any character that Windows-1252 cannot hold.
bool encodeWindows1252(QStringView text, QByteArray& out);

} // namespace sw
