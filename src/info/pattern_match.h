#pragma once

#include <QString>
#include <QStringView>

namespace sw {

// AsGiven compares pattern characters as they are; Upper upper-cases them on the fly, exactly as
// toPatternCase would, without building a copy of the pattern.
enum class PatternCase { AsGiven, Upper };

// Matches `text` as a whole against `pattern`:
//   ?      any one character
//   *      any run of characters, also none
//   #      one digit 0-9
//   [...]  one character of the list; "a-z" is a range; "!" right after "[" negates the list;
//          "-" first or last in the list stands for itself
//   other  itself, compared by character code. The text is compared as given: callers
//          upper-case it with toPatternCase and pass PatternCase::Upper for the pattern.
// An empty pattern matches only the empty text. A "[" without a closing "]" is an ordinary
// character. An empty list "[]" and a reversed range such as "[Z-A]" match no character;
// "[!]" matches any one character. Runs in O(text * pattern) at worst, whatever the stars.
bool matchesPattern(QStringView text, QStringView pattern, PatternCase patternCase = PatternCase::AsGiven);

// Upper-cases one character at a time (no length-changing mappings such as "ß" -> "SS"), so
// text and pattern fold alike. Returns a shared copy without allocating when nothing changes,
// which is the common case for the shipped patterns.
QString toPatternCase(const QString& text);

// Why a pattern can never match as written (an unclosed "[", an empty list, a reversed range);
// an empty text when it is fine.
QString patternProblem(QStringView pattern);

} // namespace sw
