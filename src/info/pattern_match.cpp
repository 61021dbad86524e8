#include "info/pattern_match.h"

namespace sw {

namespace {

// One character upper-cased; the common ASCII case skips the Unicode tables.
inline QChar upper(QChar ch) {
    const char16_t unit = ch.unicode();
    if (unit < 0x80)
        return (unit >= u'a' && unit <= u'z') ? QChar(char16_t(unit - 0x20)) : ch;
    return ch.toUpper();
}

inline QChar fold(QChar ch, PatternCase patternCase) {
    return patternCase == PatternCase::Upper ? upper(ch) : ch;
}

// Position of the "]" closing the list that opens at `open`, or -1. A "]" right after "[" or
// "[!" closes the list (an empty list), it is never a member.
qsizetype listEnd(QStringView pattern, qsizetype open) {
    qsizetype i = open + 1;
    if (i < pattern.size() && pattern[i] == u'!')
        ++i;
    for (; i < pattern.size(); ++i) {
        if (pattern[i] == u']')
            return i;
    }
    return -1;
}

// Whether `ch` is in the list between `first` and `last` (exclusive), "!" already stripped.
bool inList(QStringView pattern, qsizetype first, qsizetype last, QChar ch, PatternCase patternCase) {
    for (qsizetype i = first; i < last; ++i) {
        const QChar low = fold(pattern[i], patternCase);
        if (i + 2 < last && pattern[i + 1] == u'-') {
            const QChar high = fold(pattern[i + 2], patternCase);
            if (low <= ch && ch <= high)
                return true;
            i += 2;
        } else if (low == ch) {
            return true;
        }
    }
    return false;
}

// Whether the single-character element at `pos` matches `ch`; `next` gets the position after
// the element.
bool matchesOne(QStringView pattern, qsizetype pos, QChar ch, PatternCase patternCase, qsizetype& next) {
    const QChar p = pattern[pos];
    next = pos + 1;
    if (p == u'?')
        return true;
    if (p == u'#')
        return ch >= u'0' && ch <= u'9';
    if (p == u'[') {
        const qsizetype close = listEnd(pattern, pos);
        if (close < 0)
            return ch == p;
        next = close + 1;
        const bool negated = pattern[pos + 1] == u'!';
        const qsizetype first = pos + (negated ? 2 : 1);
        return inList(pattern, first, close, ch, patternCase) != negated;
    }
    return ch == fold(p, patternCase);
}

} // namespace

bool matchesPattern(QStringView text, QStringView pattern, PatternCase patternCase) {
    // Greedy scan that remembers only the last "*": on a mismatch that star absorbs one more
    // character and the rest of the pattern is tried again from there. Earlier stars never
    // need to be revisited, which keeps the work bounded by text * pattern.
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starPattern = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        qsizetype next = 0;
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = ++p;
            starText = t;
        } else if (p < pattern.size() && matchesOne(pattern, p, text[t], patternCase, next)) {
            p = next;
            ++t;
        } else if (starPattern >= 0) {
            p = starPattern;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

QString toPatternCase(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && upper(text[i]) == text[i])
        ++i;
    if (i == text.size())
        return text;
    QString folded = text;
    for (QChar& ch : folded)
        ch = upper(ch);
    return folded;
}

QString patternProblem(QStringView pattern) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'[')
            continue;
        const qsizetype close = listEnd(pattern, i);
        if (close < 0)
            return QStringLiteral("\"[\" at position %1 is not closed").arg(i + 1);
        const bool negated = pattern[i + 1] == u'!';
        const qsizetype first = i + (negated ? 2 : 1);
        if (first == close && !negated)
            return QStringLiteral("empty list \"[]\" at position %1").arg(i + 1);
        for (qsizetype j = first; j + 2 < close; ++j) {
            if (pattern[j + 1] != u'-')
                continue;
            if (pattern[j] > pattern[j + 2])
                return QStringLiteral("reversed range \"%1-%2\" at position %3")
                    .arg(pattern[j])
                    .arg(pattern[j + 2])
                    .arg(j + 1);
            j += 2;
        }
        i = close;
    }
    return {};
}

} // namespace sw
