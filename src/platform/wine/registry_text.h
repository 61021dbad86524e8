#pragma once

// Wine's registry file format (system.reg, user.reg) on in-memory bytes: reading one key without
// parsing the rest of the file, Wine's escaping, Wine's sort order, and edits that change only the
// lines of one key. Everything here works on byte buffers; the store adds the files (wine-facts §1).

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace sw::winereg {

// Registry value types as the server holds them.
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegLink = 6,
    kRegMultiSz = 7,
    kRegQword = 11,
};

// The first line every file Wine accepts starts with.
inline constexpr char kHeaderLine[] = "WINE REGISTRY Version 2";

// One value line (or one value line with its continuation lines).
struct ValueEntry {
    QString name; // decoded; empty for the default value "@"
    std::uint32_t type = 0;
    QByteArray data;     // the bytes as the server holds them (strings: UTF-16LE with the final NUL)
    qsizetype begin = 0; // offset of the first byte of the line
    qsizetype end = 0;   // offset one past the line's final newline (or the buffer's end)
    bool cut = false;    // data holds only the start of a longer string (see mergedValues)
};

// One key section: its "[...]" line up to the next key line.
struct KeySection {
    QString path;        // decoded, components joined by a single backslash (see decodePath)
    bool valid = false;  // false for a key line Wine rejects (no closing ']'); it still ends the key before
    qsizetype begin = 0; // offset of the "[...]" line
    qsizetype pathBegin = 0;  // offset just after the '['
    qsizetype rawPathEnd = 0; // offset of the closing ']' (when valid)
    qsizetype headerEnd = 0;  // one past that line's newline
    qsizetype end = 0;        // offset of the next key line, or the buffer's end
};

// True when the buffer starts with Wine's header line (followed by LF or CR LF).
bool hasValidHeader(QByteArrayView buffer);

// --- Escaping (server/unicode.c: dump_strW, server/registry.c: parse_strW) -----------------------

// Decodes a Wine string starting at pos up to the unescaped terminator; pos ends after the
// terminator. Returns nullopt when the terminator is missing.
// With maxUnits, only that many units are kept and *cut says whether there were more.
std::optional<QString> decodeString(QByteArrayView text, qsizetype& pos, char terminator,
                                    qsizetype maxUnits = -1, bool* cut = nullptr);
// Escapes as dump_strW does; keyName selects the escape set "[]" instead of "\"\"".
QByteArray escapeString(QStringView text, bool keyName);

// --- Order and case (memicmp_strW) -----------------------------------------------------------------

// Wine's case-insensitive name order: per UTF-16 unit lower-cased, a prefix sorts first.
int compareNames(QStringView a, QStringView b);
// The form in which two names that Wine takes as equal are the same text (lower-cased per unit).
QString nameKey(QStringView name);
bool namesEqual(QStringView a, QStringView b);
// Order of key paths as Wine writes them: component by component, a parent before its children.
int compareKeyPaths(QStringView a, QStringView b);
// Splits "A\B\\C" into components, dropping empty ones.
QStringList splitKeyPath(QStringView path);

// --- Reading ---------------------------------------------------------------------------------------

// Walks the key lines of a buffer ("[" at a line's start after optional blanks) in file order.
// Decodes only the key lines; value lines are skipped with memchr.
class SectionScanner {
public:
    explicit SectionScanner(QByteArrayView buffer);
    // The next key section, or false at the end. With decode false the path is left empty (and valid
    // unset): decodePath or matchesPath fill them when needed.
    bool next(KeySection& section, bool decode = true);
    // Decodes the section's path (path, valid, rawPathEnd).
    void decodePath(KeySection& section) const;
    // True when the section's path equals the lower-cased target (components joined by '\').
    // With orBelow, a subkey of the target matches too.
    bool matchesPath(const KeySection& section, QStringView lowerTarget, bool orBelow = false) const;

private:
    qsizetype findNextKeyLine(qsizetype from) const;
    QByteArrayView m_buffer;
    qsizetype m_pos = 0;
};

// The first section whose path equals keyPath case-insensitively.
std::optional<KeySection> findSection(QByteArrayView buffer, QStringView keyPath);
// Every section of keyPath in file order: Wine merges a key written twice into one key.
QList<KeySection> findSections(QByteArrayView buffer, QStringView keyPath);
// True when some section is the key or lies below it (Wine does not write keys that only hold subkeys).
bool keyExists(QByteArrayView buffer, QStringView keyPath);
// The values of one section in file order. Lines Wine would reject are skipped. With
// maxStringUnits, a string value keeps at most that many units of its text (and is marked cut).
QList<ValueEntry> parseValues(QByteArrayView buffer, const KeySection& section,
                              qsizetype maxStringUnits = -1);
// The values of a key as Wine loads it from its sections: a name that stands twice keeps its first
// spelling and place and takes the last data.
QList<ValueEntry> mergedValues(QByteArrayView buffer, const QList<KeySection>& sections,
                               qsizetype maxStringUnits = -1);
// Parses one value line (without its newline; continuation lines joined with their '\' kept).
std::optional<ValueEntry> parseValueLine(QByteArrayView line);

// The value's data as text: strings as text (UTF-16LE for hex(1|2|7), up to the first NUL),
// REG_MULTI_SZ's non-empty items joined by '\n', DWORD/QWORD as unsigned decimal, other data as upper-case
// hex.
QString valueText(std::uint32_t type, const QByteArray& data);
// The bytes a REG_SZ holds for a text (UTF-16LE with the final NUL).
QByteArray stringData(QStringView text);

// Everything a buffer holds, for tests and the fuzzer: every key with every value.
struct ParsedKey {
    KeySection section;
    QList<ValueEntry> values;
};
QList<ParsedKey> parseAll(QByteArrayView buffer);

// --- Writing ---------------------------------------------------------------------------------------

// One value line as dump_value writes it, with its final newline.
QByteArray formatValueLine(QStringView name, std::uint32_t type, const QByteArray& data);
// "[path] seconds\n#time=...\n" for a time given as a FILETIME (100 ns since 1601).
QByteArray formatKeyTime(std::uint64_t filetime);
QByteArray formatSectionSeconds(std::uint64_t filetime);
std::uint64_t currentFileTime();

// One replacement of buffer[begin, end) by text. At one offset an insertion lands in front of a range
// replaced there; insertions at one offset keep their order.
struct Splice {
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray text;
    int order = 0;
};

// An edit of one key as splices on a base buffer (the file, or a copy of it with a final newline added
// when the last line had none). Only the lines of the affected key are spliced.
class EditPlan {
public:
    explicit EditPlan(QByteArrayView original = {}) : m_original(original) {}
    QByteArrayView base() const { return m_storage.isNull() ? m_original : QByteArrayView(m_storage); }
    bool changed() const { return !m_splices.isEmpty(); }
    // The pieces of the edited file in order (views into the base and into the splices' texts).
    QList<QByteArrayView> pieces() const;
    qsizetype resultSize() const;
    // The whole edited file.
    QByteArray result() const;
    // The edited region (from the first splice to the last) after Wine's header line: enough to check
    // the edit without building the whole file.
    QByteArray editedRegion() const;

    void setStorage(QByteArray storage) { m_storage = std::move(storage); }
    void add(Splice splice) { m_splices.append(std::move(splice)); }

private:
    QList<const Splice*> sortedSplices() const;
    QByteArrayView m_original;
    QByteArray m_storage;
    QList<Splice> m_splices;
};

// The edits plan over the buffer, which must stay alive while the plan is used. They throw
// RegistryError when the buffer is not a Wine registry file (or for a value at the root).
EditPlan planSetValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint32_t type,
                      const QByteArray& data, std::uint64_t filetime);
EditPlan planDeleteValue(QByteArrayView buffer, QStringView keyPath, QStringView name,
                         std::uint64_t filetime);
EditPlan planCreateKey(QByteArrayView buffer, QStringView keyPath, std::uint64_t filetime);

// The same edits returning the new buffer; changed tells whether anything differs.
QByteArray setValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint32_t type,
                    const QByteArray& data, std::uint64_t filetime, bool& changed);
QByteArray deleteValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint64_t filetime,
                       bool& changed);
QByteArray createKey(QByteArrayView buffer, QStringView keyPath, std::uint64_t filetime, bool& changed);

} // namespace sw::winereg
