#pragma once

#include <QList>
#include <QStringView>

#include <utility>

namespace sw::dbcompiler {

// A pattern cut into its elements: a "*" or one character from a set. Sets are kept as sorted,
// disjoint, non-adjacent ranges of UTF-16 code units, so "?", "#", lists, negated lists and plain
// characters all compare the same way.
struct PatternElement {
    bool star = false;
    QList<std::pair<char16_t, char16_t>> ranges;

    bool operator==(const PatternElement&) const = default;
};
using PatternElements = QList<PatternElement>;

// Cuts a pattern the way the matcher reads it, after upper-casing it as matching does.
PatternElements patternElements(QStringView pattern);

// True only when every text that `narrower` matches is also matched by `broader`. The test is
// sound but not complete: it can answer false for some pairs that do cover (such as "?*" and
// "*?"), never true for a pair that does not.
bool patternCovers(const PatternElements& broader, const PatternElements& narrower);

} // namespace sw::dbcompiler
