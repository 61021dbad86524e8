// Splits the input at the first newline into a pattern and a text (Latin-1) and matches them.
// Besides crashes and hangs it checks that surrounding a matching pattern with "*" keeps it
// matching, which catches a wrong backtracking step.
#include "info/pattern_match.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const qsizetype split = bytes.indexOf('\n');
    const QString pattern = QString::fromLatin1(split < 0 ? bytes : bytes.first(split));
    const QString text = QString::fromLatin1(split < 0 ? QByteArrayView() : bytes.sliced(split + 1));

    const bool matched = sw::matchesPattern(text, pattern);
    if (matched && !(sw::matchesPattern(text, u'*' + pattern) && sw::matchesPattern(text, pattern + u'*')))
        std::abort();
    if (pattern.isEmpty() && matched != text.isEmpty())
        std::abort();
    (void)sw::patternProblem(pattern);
    const QString upperText = sw::toPatternCase(text);
    if (sw::matchesPattern(upperText, pattern, sw::PatternCase::Upper) !=
        sw::matchesPattern(upperText, sw::toPatternCase(pattern)))
        std::abort();
    return 0;
}
