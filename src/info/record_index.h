#pragma once

#include "description_database.h"

#include <QStringView>

#include <unordered_map>
#include <vector>

namespace sw {

struct RatingSubject;

// An index over the literal parts of the records' file patterns. A record can only match a text
// that holds every literal run of its file pattern, and starts with the pattern's leading one, so
// each record is filed under one such piece: its leading literal when that has three characters or
// more, else the rarest three-character piece of any literal run, else its leading literal, else
// (a pattern of wildcards only) under "always". A lookup gathers the records filed under the
// pieces its texts hold and tries them in table order, so the first match is the same as a scan's.
class RecordIndex {
public:
    explicit RecordIndex(const SearchTable& table);

    // The 1-based index of the first record whose patterns all match, or 0.
    int firstMatch(const SearchTable& table, const RatingSubject& subject) const;

    // Whether the index was built from this table as it is now.
    bool isFor(const SearchTable& table) const {
        return m_data == table.constData() && m_size == table.size();
    }

private:
    void gather(QStringView text, std::vector<int>& candidates) const;

    std::unordered_map<quint64, std::vector<int>> m_prefixes; // hash of a leading literal -> records
    std::unordered_map<quint64, std::vector<int>> m_pieces;   // three characters -> records
    std::vector<int> m_always;
    qsizetype m_longestPrefix = 0;
    const SearchRecord* m_data = nullptr;
    qsizetype m_size = 0;
};

// Whether record i (0-based) matches; the file pattern goes first, as it rejects nearly every record.
bool recordMatches(const SearchRecord& record, const RatingSubject& subject);

} // namespace sw
