#include "pattern_cover.h"

#include "info/pattern_match.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace sw::dbcompiler {

namespace {

using Ranges = QList<std::pair<char16_t, char16_t>>;

constexpr char16_t kLast = 0xFFFF;

// Sorts and merges overlapping or touching ranges; reversed ones match nothing and are dropped.
Ranges normalised(Ranges ranges) {
    ranges.removeIf([](const auto& range) { return range.first > range.second; });
    std::sort(ranges.begin(), ranges.end());
    Ranges merged;
    for (const auto& range : ranges) {
        if (!merged.isEmpty() && int(range.first) <= int(merged.last().second) + 1)
            merged.last().second = std::max(merged.last().second, range.second);
        else
            merged.append(range);
    }
    return merged;
}

Ranges complement(const Ranges& ranges) {
    Ranges result;
    int next = 0;
    for (const auto& range : ranges) {
        if (range.first > next)
            result.append({char16_t(next), char16_t(range.first - 1)});
        next = range.second + 1;
    }
    if (next <= kLast)
        result.append({char16_t(next), kLast});
    return result;
}

// Both normalised: each range of `inner` must lie inside one range of `outer`.
bool rangesInside(const Ranges& inner, const Ranges& outer) {
    return std::all_of(inner.cbegin(), inner.cend(), [&](const auto& range) {
        return std::any_of(outer.cbegin(), outer.cend(), [&](const auto& around) {
            return around.first <= range.first && range.second <= around.second;
        });
    });
}

PatternElement single(char16_t low, char16_t high) {
    return PatternElement{false, {{low, high}}};
}

} // namespace

PatternElements patternElements(QStringView raw) {
    const QString pattern = toPatternCase(raw.toString());
    PatternElements elements;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t ch = pattern[i].unicode();
        if (ch == u'*') {
            elements.append(PatternElement{true, {}});
        } else if (ch == u'?') {
            elements.append(single(0, kLast));
        } else if (ch == u'#') {
            elements.append(single(u'0', u'9'));
        } else if (ch == u'[') {
            // As the matcher reads a list: "!" first negates, the first "]" closes, "a-b" inside
            // is a range unless the "-" is first or last; without a "]" the "[" is itself.
            qsizetype first = i + 1;
            const bool negated = first < pattern.size() && pattern[first] == u'!';
            if (negated)
                ++first;
            const qsizetype close = pattern.indexOf(u']', first);
            if (close < 0) {
                elements.append(single(ch, ch));
                continue;
            }
            Ranges ranges;
            for (qsizetype j = first; j < close; ++j) {
                if (j + 2 < close && pattern[j + 1] == u'-') {
                    ranges.append({pattern[j].unicode(), pattern[j + 2].unicode()});
                    j += 2;
                } else {
                    ranges.append({pattern[j].unicode(), pattern[j].unicode()});
                }
            }
            ranges = normalised(ranges);
            elements.append(PatternElement{false, negated ? complement(ranges) : ranges});
            i = close;
        } else {
            elements.append(single(ch, ch));
        }
    }
    return elements;
}

bool patternCovers(const PatternElements& broader, const PatternElements& narrower) {
    // covers(i, j): every text of narrower[i..] is a text of broader[j..]. A "*" of the broader
    // pattern may take any number of the narrower's elements, stars included; a set must take one
    // set of the narrower pattern that lies inside it. Remembered per (i, j), so the work stays
    // within the product of the lengths.
    const qsizetype n = narrower.size();
    const qsizetype b = broader.size();
    std::vector<signed char> memo(size_t((n + 1) * (b + 1)), -1);
    auto covers = [&](auto&& self, qsizetype i, qsizetype j) -> bool {
        signed char& known = memo[size_t(i * (b + 1) + j)];
        if (known >= 0)
            return known != 0;
        bool result = false;
        if (j == b)
            result = i == n;
        else if (broader[j].star)
            result = self(self, i, j + 1) || (i < n && self(self, i + 1, j));
        else
            result = i < n && !narrower[i].star && rangesInside(narrower[i].ranges, broader[j].ranges) &&
                     self(self, i + 1, j + 1);
        known = result ? 1 : 0;
        return result;
    };
    return covers(covers, 0, 0);
}

} // namespace sw::dbcompiler
