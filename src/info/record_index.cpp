#include "record_index.h"

#include "entry_rating.h"
#include "pattern_match.h"

#include <algorithm>
#include <limits>

namespace sw {

namespace {

// Leading literals longer than this are filed under their first kPrefixCap characters.
constexpr qsizetype kPrefixCap = 24;
constexpr qsizetype kPieceLength = 3;
constexpr int kNoPiece = std::numeric_limits<int>::max();

// FNV-1a, one step per character; a collision only adds a candidate that the full match rejects.
constexpr quint64 kHashStart = 14695981039346656037ull;
inline quint64 hashStep(quint64 hash, QChar ch) {
    return (hash ^ ch.unicode()) * 1099511628211ull;
}

inline quint64 pieceKey(QStringView text, qsizetype at) {
    return (quint64(text[at].unicode()) << 32) | (quint64(text[at + 1].unicode()) << 16) |
           text[at + 2].unicode();
}

// The runs of characters that stand for themselves, in pattern order. A "[" ends a run whether or
// not it opens a list, so a run is always a piece of text the pattern requires.
struct LiteralRuns {
    QList<QStringView> runs;
    bool leading = false; // the first run starts the pattern
};

LiteralRuns literalRuns(QStringView pattern) {
    LiteralRuns result;
    qsizetype runStart = -1;
    for (qsizetype i = 0; i <= pattern.size(); ++i) {
        const bool special = i == pattern.size() || pattern[i] == u'*' || pattern[i] == u'?' ||
                             pattern[i] == u'#' || pattern[i] == u'[';
        if (!special) {
            if (runStart < 0)
                runStart = i;
            continue;
        }
        if (runStart >= 0) {
            result.leading = result.leading || (result.runs.isEmpty() && runStart == 0);
            result.runs.append(pattern.sliced(runStart, i - runStart));
            runStart = -1;
        }
        if (i < pattern.size() && pattern[i] == u'[') {
            // Skip a closed list; an unclosed "[" is one unknown character.
            qsizetype j = i + 1;
            if (j < pattern.size() && pattern[j] == u'!')
                ++j;
            const qsizetype close = pattern.indexOf(u']', j);
            if (close >= 0)
                i = close;
        }
    }
    return result;
}

bool matches(const QString& text, const QString& pattern) {
    return matchesPattern(text, pattern, PatternCase::Upper);
}

} // namespace

bool recordMatches(const SearchRecord& record, const RatingSubject& subject) {
    return (matches(subject.programText, record.filePattern) ||
            (!subject.runText.isEmpty() && matches(subject.runText, record.filePattern))) &&
           matches(subject.company, record.companyPattern) && matches(subject.entryName, record.namePattern);
}

RecordIndex::RecordIndex(const SearchTable& table) : m_data(table.constData()), m_size(table.size()) {
    QList<QString> patterns;
    patterns.reserve(table.size());
    std::unordered_map<quint64, int> pieceCounts;
    for (const SearchRecord& record : table) {
        patterns.append(toPatternCase(record.filePattern));
        for (QStringView run : literalRuns(patterns.last()).runs) {
            for (qsizetype at = 0; at + kPieceLength <= run.size(); ++at)
                ++pieceCounts[pieceKey(run, at)];
        }
    }
    for (qsizetype index = 0; index < patterns.size(); ++index) {
        const LiteralRuns found = literalRuns(patterns[index]);
        const QStringView leading = found.leading ? found.runs.first() : QStringView();
        quint64 rarest = 0;
        int rarestCount = kNoPiece;
        for (QStringView run : found.runs) {
            for (qsizetype at = 0; at + kPieceLength <= run.size(); ++at) {
                const quint64 key = pieceKey(run, at);
                if (const int count = pieceCounts[key]; count < rarestCount) {
                    rarest = key;
                    rarestCount = count;
                }
            }
        }
        if (leading.size() >= kPieceLength || (leading.size() > 0 && rarestCount == kNoPiece)) {
            const QStringView key = leading.first(std::min(leading.size(), kPrefixCap));
            quint64 hash = kHashStart;
            for (QChar ch : key)
                hash = hashStep(hash, ch);
            m_prefixes[hash].push_back(int(index));
            m_longestPrefix = std::max(m_longestPrefix, key.size());
        } else if (rarestCount != kNoPiece) {
            m_pieces[rarest].push_back(int(index));
        } else {
            m_always.push_back(int(index));
        }
    }
}

void RecordIndex::gather(QStringView text, std::vector<int>& candidates) const {
    quint64 hash = kHashStart;
    const qsizetype prefixEnd = std::min(text.size(), m_longestPrefix);
    for (qsizetype length = 1; length <= prefixEnd; ++length) {
        hash = hashStep(hash, text[length - 1]);
        if (const auto it = m_prefixes.find(hash); it != m_prefixes.end())
            candidates.insert(candidates.end(), it->second.begin(), it->second.end());
    }
    if (m_pieces.empty())
        return;
    for (qsizetype at = 0; at + kPieceLength <= text.size(); ++at) {
        if (const auto it = m_pieces.find(pieceKey(text, at)); it != m_pieces.end())
            candidates.insert(candidates.end(), it->second.begin(), it->second.end());
    }
}

int RecordIndex::firstMatch(const SearchTable& table, const RatingSubject& subject) const {
    thread_local std::vector<int> candidates;
    candidates.assign(m_always.begin(), m_always.end());
    gather(subject.programText, candidates);
    if (!subject.runText.isEmpty())
        gather(subject.runText, candidates);
    std::sort(candidates.begin(), candidates.end());
    const auto end = std::unique(candidates.begin(), candidates.end());
    for (auto it = candidates.begin(); it != end; ++it) {
        if (recordMatches(table.at(*it), subject))
            return *it + 1;
    }
    return 0;
}

} // namespace sw
