#include "platform/wine/registry_text.h"

#include "platform/registry_store.h"

#include <QChar>
#include <QDateTime>
#include <algorithm>
#include <cstring>

namespace sw::winereg {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}
char16_t lower(char16_t unit) { return QChar::toLower(unit); }

// Offset of the next '\n' at or after from, or size.
qsizetype lineEnd(QByteArrayView buffer, qsizetype from) {
    if (from >= buffer.size())
        return buffer.size();
    const void* hit = std::memchr(buffer.data() + from, '\n', static_cast<size_t>(buffer.size() - from));
    return hit ? static_cast<const char*>(hit) - buffer.data() : buffer.size();
}
// The line's content end: before the '\n' and an optional '\r'.
qsizetype contentEnd(QByteArrayView buffer, qsizetype begin, qsizetype end) {
    if (end > begin && buffer[end - 1] == '\r')
        --end;
    return end;
}

// Decodes one Wine string unit by unit, as parse_strW does (raw bytes are read as UTF-8).
class Decoder {
public:
    Decoder(QByteArrayView text, qsizetype pos, char terminator) : m_text(text), m_pos(pos), m_term(terminator) {}

    // 1: a unit; 0: the terminator was reached (pos() is after it); -1: the text ended first.
    int next(char16_t& unit) {
        if (m_pending) {
            unit = m_pending;
            m_pending = 0;
            return 1;
        }
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return -1;
        const char c = m_text[m_pos];
        if (c == m_term) {
            ++m_pos;
            return 0;
        }
        if (c != '\\')
            return rawUtf8(unit);
        ++m_pos;
        if (m_pos >= n)
            return -1; // a backslash at the end: the terminator is missing
        const char e = m_text[m_pos];
        switch (e) {
        case 'a': unit = 0x07; ++m_pos; return 1;
        case 'b': unit = 0x08; ++m_pos; return 1;
        case 'e': unit = 0x1b; ++m_pos; return 1;
        case 'f': unit = 0x0c; ++m_pos; return 1;
        case 'n': unit = 0x0a; ++m_pos; return 1;
        case 'r': unit = 0x0d; ++m_pos; return 1;
        case 't': unit = 0x09; ++m_pos; return 1;
        case 'v': unit = 0x0b; ++m_pos; return 1;
        case 'x': {
            ++m_pos;
            if (m_pos >= n || !isHexDigit(m_text[m_pos])) {
                unit = u'x';
                return 1;
            }
            unsigned value = 0;
            for (int i = 0; i < 4 && m_pos < n && isHexDigit(m_text[m_pos]); ++i)
                value = value * 16 + static_cast<unsigned>(hexValue(m_text[m_pos++]));
            unit = static_cast<char16_t>(value);
            return 1;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned value = 0;
                for (int i = 0; i < 3 && m_pos < n && m_text[m_pos] >= '0' && m_text[m_pos] <= '7'; ++i)
                    value = value * 8 + static_cast<unsigned>(m_text[m_pos++] - '0');
                unit = static_cast<char16_t>(value);
                return 1;
            }
            ++m_pos;
            if (static_cast<unsigned char>(e) < 0x80) {
                unit = static_cast<char16_t>(e);
                return 1;
            }
            --m_pos; // an escaped non-ASCII byte: take the UTF-8 character
            return rawUtf8(unit);
        }
    }
    qsizetype pos() const { return m_pos; }

private:
    int rawUtf8(char16_t& unit) {
        const qsizetype n = m_text.size();
        const auto b0 = static_cast<unsigned char>(m_text[m_pos]);
        if (b0 < 0x80) {
            ++m_pos;
            unit = b0;
            return 1;
        }
        int extra = -1;
        if (b0 >= 0xc2 && b0 < 0xe0)
            extra = 1;
        else if (b0 >= 0xe0 && b0 < 0xf0)
            extra = 2;
        else if (b0 >= 0xf0 && b0 < 0xf5)
            extra = 3;
        char32_t cp = extra == 1 ? (b0 & 0x1fu) : extra == 2 ? (b0 & 0x0fu) : (b0 & 0x07u);
        bool ok = extra > 0;
        if (ok) {
            for (int i = 1; i <= extra; ++i) {
                if (m_pos + i >= n) {
                    ok = false;
                    break;
                }
                const auto b = static_cast<unsigned char>(m_text[m_pos + i]);
                if ((b & 0xc0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = (cp << 6) | (b & 0x3fu);
            }
        }
        if (ok && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10ffff)) ||
                   (cp >= 0xd800 && cp <= 0xdfff)))
            ok = false;
        if (!ok) {
            ++m_pos;
            unit = 0xfffd;
            return 1;
        }
        m_pos += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit = static_cast<char16_t>(0xd800 + (cp >> 10));
            m_pending = static_cast<char16_t>(0xdc00 + (cp & 0x3ff));
            return 1;
        }
        unit = static_cast<char16_t>(cp);
        return 1;
    }

    QByteArrayView m_text;
    qsizetype m_pos;
    char m_term;
    char16_t m_pending = 0;
};

QByteArray utf16Bytes(QStringView text, bool terminate) {
    QByteArray out;
    out.reserve((text.size() + 1) * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        out.append(static_cast<char>(u & 0xff));
        out.append(static_cast<char>(u >> 8));
    }
    if (terminate)
        out.append("\0\0", 2);
    return out;
}

QString utf16Text(const QByteArray& data) {
    QString text;
    text.resize(data.size() / 2);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                              (static_cast<unsigned char>(data[2 * i + 1]) << 8)));
    return text;
}

QString normalizedPath(QStringView keyPath) { return splitKeyPath(keyPath).join(QLatin1Char('\\')); }

// Parses hex bytes as parse_hex does, following '\' continuation lines up to limit. pos is at the
// first byte of the data; next receives the offset after the value's last line.
bool parseHexData(QByteArrayView buffer, qsizetype pos, qsizetype lineContentEnd, qsizetype limit,
                  QByteArray& data, qsizetype& next) {
    qsizetype end = lineContentEnd;
    for (;;) {
        while (pos < end) {
            const char c = buffer[pos];
            if (isSpace(c) || c == ',') {
                ++pos;
                continue;
            }
            if (!isHexDigit(c))
                break;
            unsigned value = 0;
            int digits = 0;
            while (pos < end && isHexDigit(buffer[pos])) {
                if (digits < 8)
                    value = value * 16 + static_cast<unsigned>(hexValue(buffer[pos]));
                ++digits;
                ++pos;
            }
            if (digits > 2 && value > 0xff)
                return false;
            data.append(static_cast<char>(value));
        }
        qsizetype lineStop = lineEnd(buffer, end);
        qsizetype afterLine = lineStop < buffer.size() ? lineStop + 1 : lineStop;
        if (afterLine > limit)
            afterLine = limit;
        if (pos >= end || buffer[pos] != '\\') {
            next = afterLine;
            return true;
        }
        // continuation: the next line, leading blanks skipped
        if (afterLine >= limit)
            return false;
        pos = afterLine;
        const qsizetype nextStop = std::min(lineEnd(buffer, pos), limit);
        end = contentEnd(buffer, pos, nextStop);
        while (pos < end && isBlank(buffer[pos]))
            ++pos;
    }
}

// Parses the value whose line starts at begin (leading blanks allowed); next is set past it.
std::optional<ValueEntry> parseValueAt(QByteArrayView buffer, qsizetype begin, qsizetype limit, qsizetype& next) {
    const qsizetype stop = std::min(lineEnd(buffer, begin), limit);
    const qsizetype end = contentEnd(buffer, begin, stop);
    next = stop < limit ? stop + 1 : stop;
    const QByteArrayView line = buffer.first(end);
    qsizetype pos = begin;
    while (pos < end && isBlank(buffer[pos]))
        ++pos;
    if (pos >= end)
        return std::nullopt;
    ValueEntry entry;
    entry.begin = begin;
    if (buffer[pos] == '@') {
        ++pos;
    } else if (buffer[pos] == '"') {
        ++pos;
        auto name = decodeString(line, pos, '"');
        if (!name)
            return std::nullopt;
        entry.name = *name;
    } else {
        return std::nullopt;
    }
    while (pos < end && isSpace(buffer[pos]))
        ++pos;
    if (pos >= end || buffer[pos] != '=')
        return std::nullopt;
    ++pos;
    while (pos < end && isSpace(buffer[pos]))
        ++pos;
    const QByteArrayView rest = line.sliced(pos);
    auto stringValue = [&](qsizetype prefix, std::uint32_t type) -> std::optional<ValueEntry> {
        qsizetype p = pos + prefix;
        auto text = decodeString(line, p, '"');
        if (!text)
            return std::nullopt;
        entry.type = type;
        entry.data = utf16Bytes(*text, true);
        entry.end = next;
        return entry;
    };
    if (rest.startsWith("\""))
        return stringValue(1, kRegSz);
    if (rest.startsWith("str:\""))
        return stringValue(5, kRegSz);
    if (rest.startsWith("str(2):\""))
        return stringValue(8, kRegExpandSz);
    if (rest.startsWith("str(7):\""))
        return stringValue(8, kRegMultiSz);
    if (rest.startsWith("dword:")) {
        qsizetype p = pos + 6;
        while (p < end && isSpace(buffer[p]))
            ++p;
        std::uint64_t value = 0;
        while (p < end && isHexDigit(buffer[p])) {
            value = value * 16 + static_cast<unsigned>(hexValue(buffer[p++]));
            if (value > 0xffffffffu)
                value = 0xffffffffu; // strtoul saturates
        }
        const auto dw = static_cast<std::uint32_t>(value);
        entry.type = kRegDword;
        entry.data = QByteArray(4, '\0');
        for (int i = 0; i < 4; ++i)
            entry.data[i] = static_cast<char>((dw >> (8 * i)) & 0xff);
        entry.end = next;
        return entry;
    }
    qsizetype dataPos = -1;
    if (rest.startsWith("hex:")) {
        entry.type = kRegBinary;
        dataPos = pos + 4;
    } else if (rest.startsWith("hex(")) {
        qsizetype p = pos + 4;
        std::uint64_t type = 0;
        int digits = 0;
        while (p < end && isHexDigit(buffer[p]) && digits < 8) {
            type = type * 16 + static_cast<unsigned>(hexValue(buffer[p++]));
            ++digits;
        }
        if (digits == 0 || p + 1 >= end || buffer[p] != ')' || buffer[p + 1] != ':')
            return std::nullopt;
        entry.type = static_cast<std::uint32_t>(type);
        dataPos = p + 2;
    } else {
        return std::nullopt;
    }
    qsizetype after = next;
    if (!parseHexData(buffer, dataPos, end, limit, entry.data, after)) {
        // skip the continuation lines that belonged to the broken value
        next = after > next ? after : next;
        return std::nullopt;
    }
    next = after;
    entry.end = after;
    return entry;
}

using Edit = Splice;

// Checks the header and gives the plan its base: the buffer, or a copy with a final newline added.
EditPlan startPlan(QByteArrayView buffer) {
    if (!hasValidHeader(buffer))
        throw RegistryError("The registry file does not start with \"WINE REGISTRY Version 2\"; it is not changed.");
    EditPlan plan(buffer);
    if (!buffer.endsWith('\n'))
        plan.setStorage(buffer.toByteArray() + '\n');
    return plan;
}

QByteArray keyHeaderLine(QByteArrayView buffer, const KeySection& section, std::uint64_t filetime) {
    QByteArray line = buffer.sliced(section.begin, section.rawPathEnd + 1 - section.begin).toByteArray();
    line += ' ';
    line += formatSectionSeconds(filetime);
    line += '\n';
    return line;
}

QByteArray timeLine(std::uint64_t filetime) {
    return "#time=" + QByteArray::number(static_cast<quint32>(filetime >> 32), 16) +
           QByteArray::number(static_cast<quint32>(filetime & 0xffffffffu), 16).rightJustified(8, '0') + '\n';
}

// Edits that give an existing section fresh "[...] seconds" and "#time=" lines.
void touchSection(QByteArrayView buffer, const KeySection& section, std::uint64_t filetime, QList<Edit>& edits,
                  qsizetype& optionsEnd) {
    edits.append({section.begin, section.headerEnd, keyHeaderLine(buffer, section, filetime), 0});
    optionsEnd = section.headerEnd;
    bool timeFound = false;
    qsizetype pos = section.headerEnd;
    bool inOptions = true;
    while (pos < section.end) {
        const qsizetype stop = std::min(lineEnd(buffer, pos), section.end);
        const qsizetype next = stop < section.end ? stop + 1 : stop;
        qsizetype p = pos;
        while (p < stop && isBlank(buffer[p]))
            ++p;
        const bool option = p < stop && buffer[p] == '#';
        if (option && !timeFound && buffer.sliced(p, stop - p).startsWith("#time=")) {
            edits.append({pos, next, timeLine(filetime), 1});
            timeFound = true;
        }
        if (inOptions && option)
            optionsEnd = next;
        else
            inOptions = false;
        pos = next;
    }
    if (!timeFound)
        edits.append({section.headerEnd, section.headerEnd, timeLine(filetime), 1});
}

struct KeySearch {
    bool exists = false;
    QStringList spelling;     // the existing spelling of the longest existing ancestor
    qsizetype insertPos = -1; // where a new section goes (-1: at the end)
};

KeySearch searchKey(QByteArrayView buffer, const QStringList& components) {
    KeySearch result;
    const QString target = components.join(QLatin1Char('\\'));
    SectionScanner scanner(buffer);
    KeySection section;
    while (scanner.next(section)) {
        if (!section.valid)
            continue;
        const QStringList parts = splitKeyPath(section.path);
        qsizetype common = 0;
        while (common < parts.size() && common < components.size() && namesEqual(parts[common], components[common]))
            ++common;
        if (common == components.size()) {
            result.exists = true;
            return result;
        }
        if (common > result.spelling.size())
            result.spelling = parts.first(common);
        if (result.insertPos < 0 && compareKeyPaths(section.path, target) > 0)
            result.insertPos = section.begin;
    }
    return result;
}

QByteArray newSectionText(const QStringList& components, std::uint64_t filetime, const QByteArray& valueLines) {
    QByteArray text = "[";
    for (qsizetype i = 0; i < components.size(); ++i) {
        if (i)
            text += "\\\\";
        text += escapeString(components[i], true);
    }
    text += "] " + formatSectionSeconds(filetime) + '\n' + timeLine(filetime) + valueLines;
    return text;
}

// Inserts a new section for a missing key (with optional value lines).
void insertSection(EditPlan& plan, const QStringList& components, std::uint64_t filetime, const QByteArray& valueLines) {
    const QByteArrayView buffer = plan.base();
    const KeySearch search = searchKey(buffer, components);
    QStringList spelled = search.spelling;
    for (qsizetype i = spelled.size(); i < components.size(); ++i)
        spelled.append(components[i]);
    const QByteArray section = newSectionText(spelled, filetime, valueLines);
    if (search.insertPos >= 0)
        plan.add({search.insertPos, search.insertPos, section + '\n', 0});
    else
        plan.add({buffer.size(), buffer.size(), '\n' + section, 0});
}

} // namespace

bool hasValidHeader(QByteArrayView buffer) {
    const QByteArrayView header(kHeaderLine);
    if (!buffer.startsWith(header))
        return false;
    const QByteArrayView rest = buffer.sliced(header.size());
    return rest.startsWith("\n") || rest.startsWith("\r\n");
}

std::optional<QString> decodeString(QByteArrayView text, qsizetype& pos, char terminator) {
    Decoder decoder(text, pos, terminator);
    QString out;
    char16_t unit = 0;
    for (;;) {
        const int r = decoder.next(unit);
        if (r < 0)
            return std::nullopt;
        if (r == 0)
            break;
        out.append(QChar(unit));
    }
    pos = decoder.pos();
    return out;
}

QByteArray escapeString(QStringView text, bool keyName) {
    static const char escapes[33] = ".......abtnvfr.............e....";
    QByteArray out;
    out.reserve(text.size() + 8);
    const qsizetype n = text.size();
    char buf[16];
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        const bool hasNext = i + 1 < n;
        const char16_t nextUnit = hasNext ? text[i + 1].unicode() : 0;
        if (u > 127) {
            const bool hexNext = hasNext && nextUnit < 128 && isHexDigit(static_cast<char>(nextUnit));
            std::snprintf(buf, sizeof buf, hexNext ? "\\x%04x" : "\\x%x", static_cast<unsigned>(u));
            out += buf;
            continue;
        }
        if (u < 32) {
            if (escapes[u] != '.') {
                out += '\\';
                out += escapes[u];
            } else {
                const bool octNext = hasNext && nextUnit >= '0' && nextUnit <= '7';
                std::snprintf(buf, sizeof buf, octNext ? "\\%03o" : "\\%o", static_cast<unsigned>(u));
                out += buf;
            }
            continue;
        }
        const char c = static_cast<char>(u);
        if (c == '\\' || (keyName && (c == '[' || c == ']')) || (!keyName && c == '"'))
            out += '\\';
        out += c;
    }
    return out;
}

int compareNames(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = static_cast<int>(lower(a[i].unicode())) - static_cast<int>(lower(b[i].unicode()));
        if (d)
            return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool namesEqual(QStringView a, QStringView b) { return a.size() == b.size() && compareNames(a, b) == 0; }

QStringList splitKeyPath(QStringView path) {
    QStringList parts;
    for (QStringView part : path.tokenize(QLatin1Char('\\'), Qt::SkipEmptyParts))
        parts.append(part.toString());
    return parts;
}

int compareKeyPaths(QStringView a, QStringView b) {
    auto ia = a.tokenize(QLatin1Char('\\'), Qt::SkipEmptyParts);
    auto ib = b.tokenize(QLatin1Char('\\'), Qt::SkipEmptyParts);
    auto pa = ia.begin();
    auto pb = ib.begin();
    for (; pa != ia.end() && pb != ib.end(); ++pa, ++pb) {
        if (const int d = compareNames(*pa, *pb))
            return d;
    }
    if (pa == ia.end())
        return pb == ib.end() ? 0 : -1;
    return 1;
}

// --- SectionScanner ----------------------------------------------------------------------------------

SectionScanner::SectionScanner(QByteArrayView buffer) : m_buffer(buffer) {}

qsizetype SectionScanner::findNextKeyLine(qsizetype from) const {
    const qsizetype n = m_buffer.size();
    qsizetype p = from;
    while (p < n) {
        qsizetype q = p;
        while (q < n && isBlank(m_buffer[q]))
            ++q;
        if (q < n && m_buffer[q] == '[')
            return p;
        const qsizetype stop = lineEnd(m_buffer, q);
        if (stop >= n)
            return -1;
        p = stop + 1;
    }
    return -1;
}

bool SectionScanner::next(KeySection& section, bool decode) {
    const qsizetype start = findNextKeyLine(m_pos);
    if (start < 0) {
        m_pos = m_buffer.size();
        return false;
    }
    section = KeySection();
    section.begin = start;
    qsizetype p = start;
    while (m_buffer[p] != '[')
        ++p;
    section.pathBegin = p + 1;
    const qsizetype stop = lineEnd(m_buffer, p);
    section.headerEnd = stop < m_buffer.size() ? stop + 1 : stop;
    const qsizetype following = findNextKeyLine(section.headerEnd);
    section.end = following < 0 ? m_buffer.size() : following;
    m_pos = section.end;
    if (decode)
        decodePath(section);
    return true;
}

void SectionScanner::decodePath(KeySection& section) const {
    const qsizetype stop = lineEnd(m_buffer, section.pathBegin);
    const QByteArrayView line = m_buffer.first(contentEnd(m_buffer, section.pathBegin, stop));
    qsizetype pos = section.pathBegin;
    auto path = decodeString(line, pos, ']');
    section.valid = path.has_value();
    section.path = path ? normalizedPath(*path) : QString();
    section.rawPathEnd = path ? pos - 1 : 0;
}

bool SectionScanner::matchesPath(const KeySection& section, QStringView lowerTarget) const {
    const qsizetype stop = lineEnd(m_buffer, section.pathBegin);
    const QByteArrayView line = m_buffer.first(contentEnd(m_buffer, section.pathBegin, stop));
    Decoder decoder(line, section.pathBegin, ']');
    qsizetype i = 0;
    char16_t unit = 0;
    char16_t previous = u'\\'; // collapse repeated and leading separators, as splitKeyPath does
    for (;;) {
        const int r = decoder.next(unit);
        if (r < 0)
            return false;
        if (r == 0)
            return i == lowerTarget.size() || (i == lowerTarget.size() + 1 && previous == u'\\');
        if (unit == u'\\' && previous == u'\\')
            continue;
        if (i >= lowerTarget.size()) {
            if (i == lowerTarget.size() && unit == u'\\') { // a trailing separator
                previous = unit;
                ++i;
                continue;
            }
            return false;
        }
        if (lower(unit) != lowerTarget[i].unicode())
            return false;
        previous = unit;
        ++i;
    }
}

std::optional<KeySection> findSection(QByteArrayView buffer, QStringView keyPath) {
    const QString target = normalizedPath(keyPath);
    if (target.isEmpty())
        return std::nullopt;
    QString lowerTarget(target.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < target.size(); ++i)
        lowerTarget[i] = QChar(lower(target[i].unicode()));
    SectionScanner scanner(buffer);
    KeySection section;
    while (scanner.next(section, false)) {
        if (scanner.matchesPath(section, lowerTarget)) {
            scanner.decodePath(section);
            if (section.valid && namesEqual(section.path, target))
                return section;
        }
    }
    return std::nullopt;
}

bool keyExists(QByteArrayView buffer, QStringView keyPath) {
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty())
        return true;
    if (findSection(buffer, keyPath))
        return true;
    return searchKey(buffer, components).exists;
}

QList<ValueEntry> parseValues(QByteArrayView buffer, const KeySection& section) {
    QList<ValueEntry> values;
    if (!section.valid)
        return values;
    qsizetype pos = section.headerEnd;
    while (pos < section.end) {
        qsizetype next = pos;
        qsizetype p = pos;
        while (p < section.end && isBlank(buffer[p]))
            ++p;
        if (p < section.end && (buffer[p] == '"' || buffer[p] == '@')) {
            auto value = parseValueAt(buffer, pos, section.end, next);
            if (value)
                values.append(std::move(*value));
        } else {
            const qsizetype stop = std::min(lineEnd(buffer, pos), section.end);
            next = stop < section.end ? stop + 1 : stop;
        }
        if (next <= pos)
            break; // cannot happen; guards against a loop
        pos = next;
    }
    return values;
}

std::optional<ValueEntry> parseValueLine(QByteArrayView line) {
    qsizetype next = 0;
    return parseValueAt(line, 0, line.size(), next);
}

QList<ParsedKey> parseAll(QByteArrayView buffer) {
    QList<ParsedKey> keys;
    SectionScanner scanner(buffer);
    KeySection section;
    while (scanner.next(section))
        keys.append({section, parseValues(buffer, section)});
    return keys;
}

QByteArray stringData(QStringView text) { return utf16Bytes(text, true); }

QString valueText(std::uint32_t type, const QByteArray& data) {
    switch (type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegLink: {
        QString text = utf16Text(data);
        const qsizetype nul = text.indexOf(QChar(0));
        if (nul >= 0)
            text.truncate(nul);
        return text;
    }
    case kRegMultiSz: {
        // one line per item; empty items (list terminators) are left out
        return utf16Text(data).split(QChar(0), Qt::SkipEmptyParts).join(QLatin1Char('\n'));
    }
    case kRegDword:
    case kRegDwordBigEndian:
        if (data.size() == 4) {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                const int shift = type == kRegDword ? 8 * i : 8 * (3 - i);
                v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << shift;
            }
            return QString::number(v);
        }
        break;
    case kRegQword:
        if (data.size() == 8) {
            std::uint64_t v = 0;
            for (int i = 0; i < 8; ++i)
                v |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[i])) << (8 * i);
            return QString::number(v);
        }
        break;
    default:
        break;
    }
    return QString::fromLatin1(data.toHex().toUpper());
}

// --- Writing -------------------------------------------------------------------------------------------

QByteArray formatValueLine(QStringView name, std::uint32_t type, const QByteArray& data) {
    QByteArray line;
    int count = 0;
    if (!name.isEmpty()) {
        const QByteArray escaped = escapeString(name, false);
        line = '"' + escaped + "\"=";
        count = static_cast<int>(escaped.size()) + 3;
    } else {
        line = "@=";
        count = 2;
    }
    switch (type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz:
        if (data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0) {
            if (type != kRegSz)
                line += "str(" + QByteArray::number(type, 16) + "):";
            const QString text = utf16Text(data.first(data.size() - 2));
            line += '"' + escapeString(text, false) + "\"\n";
            return line;
        }
        break;
    case kRegDword:
        if (data.size() == 4) {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i)
                v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
            line += "dword:" + QByteArray::number(v, 16).rightJustified(8, '0') + '\n';
            return line;
        }
        break;
    default:
        break;
    }
    const QByteArray prefix = type == kRegBinary ? QByteArray("hex:") : "hex(" + QByteArray::number(type, 16) + "):";
    line += prefix;
    count += static_cast<int>(prefix.size());
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        line += digits[b >> 4];
        line += digits[b & 15];
        count += 2;
        if (i < data.size() - 1) {
            line += ',';
            if (++count > 76) {
                line += "\\\n  ";
                count = 2;
            }
        }
    }
    line += '\n';
    return line;
}

std::uint64_t currentFileTime() {
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    return static_cast<std::uint64_t>(ms) * 10000u + 116444736000000000ull;
}

QByteArray formatSectionSeconds(std::uint64_t filetime) {
    const std::uint64_t seconds = (filetime - 116444736000000000ull) / 10000000u;
    return QByteArray::number(static_cast<quint32>(seconds));
}

QByteArray formatKeyTime(std::uint64_t filetime) { return timeLine(filetime); }

// --- Plans ---------------------------------------------------------------------------------------------

QList<const Splice*> EditPlan::sortedSplices() const {
    QList<const Splice*> sorted;
    for (const Splice& e : m_splices)
        sorted.append(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Splice* a, const Splice* b) {
        if (a->begin != b->begin)
            return a->begin < b->begin;
        if ((a->end > a->begin) != (b->end > b->begin))
            return a->end == a->begin; // the insertion first
        return a->order < b->order;
    });
    return sorted;
}

QList<QByteArrayView> EditPlan::pieces() const {
    QList<QByteArrayView> out;
    const QByteArrayView buffer = base();
    qsizetype copied = 0;
    for (const Splice* e : sortedSplices()) {
        out.append(buffer.sliced(copied, e->begin - copied));
        out.append(QByteArrayView(e->text));
        copied = e->end;
    }
    out.append(buffer.sliced(copied));
    return out;
}

qsizetype EditPlan::resultSize() const {
    qsizetype size = base().size();
    for (const Splice& e : m_splices)
        size += e.text.size() - (e.end - e.begin);
    return size;
}

QByteArray EditPlan::result() const {
    QByteArray out;
    out.reserve(resultSize());
    for (QByteArrayView piece : pieces())
        out.append(piece);
    return out;
}

QByteArray EditPlan::editedRegion() const {
    QByteArray out = QByteArray(kHeaderLine) + '\n';
    if (m_splices.isEmpty())
        return out;
    const QList<const Splice*> sorted = sortedSplices();
    const QByteArrayView buffer = base();
    qsizetype hi = sorted.first()->end;
    for (const Splice* e : sorted)
        hi = std::max(hi, e->end);
    qsizetype copied = sorted.first()->begin;
    for (const Splice* e : sorted) {
        out.append(buffer.sliced(copied, e->begin - copied));
        out.append(e->text);
        copied = e->end;
    }
    out.append(buffer.sliced(copied, hi - copied));
    return out;
}

EditPlan planSetValue(QByteArrayView original, QStringView keyPath, QStringView name, std::uint32_t type,
                      const QByteArray& data, std::uint64_t filetime) {
    EditPlan plan = startPlan(original);
    const QByteArrayView buffer = plan.base();
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty())
        throw RegistryError("A value cannot be written at the root of a registry file.");
    const auto section = findSection(buffer, keyPath);
    if (!section) {
        insertSection(plan, components, filetime, formatValueLine(name, type, data));
        return plan;
    }
    const QList<ValueEntry> values = parseValues(buffer, *section);
    QList<qsizetype> matches;
    for (qsizetype i = 0; i < values.size(); ++i)
        if (namesEqual(values[i].name, name))
            matches.append(i);
    const QString spelling = matches.isEmpty() ? name.toString() : values[matches.first()].name;
    const QByteArray line = formatValueLine(spelling, type, data);
    if (matches.size() == 1) {
        const ValueEntry& v = values[matches.first()];
        if (buffer.sliced(v.begin, v.end - v.begin) == line)
            return EditPlan(original); // already so: nothing changes
    }
    QList<Edit> edits;
    qsizetype optionsEnd = section->headerEnd;
    touchSection(buffer, *section, filetime, edits, optionsEnd);
    if (!matches.isEmpty()) {
        for (qsizetype k = 0; k < matches.size(); ++k) {
            const ValueEntry& v = values[matches[k]];
            edits.append({v.begin, v.end, k == 0 ? line : QByteArray(), 2});
        }
    } else {
        qsizetype at = -1;
        for (const ValueEntry& v : values) {
            if (compareNames(v.name, name) > 0) {
                at = v.begin;
                break;
            }
        }
        if (at < 0)
            at = values.isEmpty() ? optionsEnd : values.last().end;
        edits.append({at, at, line, 2});
    }
    for (Edit& e : edits)
        plan.add(std::move(e));
    return plan;
}

EditPlan planDeleteValue(QByteArrayView original, QStringView keyPath, QStringView name, std::uint64_t filetime) {
    EditPlan plan = startPlan(original);
    const QByteArrayView buffer = plan.base();
    const auto section = findSection(buffer, keyPath);
    if (!section)
        return EditPlan(original);
    QList<Edit> edits;
    for (const ValueEntry& v : parseValues(buffer, *section))
        if (namesEqual(v.name, name))
            edits.append({v.begin, v.end, QByteArray(), 2});
    if (edits.isEmpty())
        return EditPlan(original);
    qsizetype optionsEnd = 0;
    touchSection(buffer, *section, filetime, edits, optionsEnd);
    for (Edit& e : edits)
        plan.add(std::move(e));
    return plan;
}

EditPlan planCreateKey(QByteArrayView original, QStringView keyPath, std::uint64_t filetime) {
    EditPlan plan = startPlan(original);
    const QByteArrayView buffer = plan.base();
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty() || findSection(buffer, keyPath) || searchKey(buffer, components).exists)
        return EditPlan(original);
    insertSection(plan, components, filetime, QByteArray());
    return plan;
}

QByteArray setValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint32_t type,
                    const QByteArray& data, std::uint64_t filetime, bool& changed) {
    const EditPlan plan = planSetValue(buffer, keyPath, name, type, data, filetime);
    changed = plan.changed();
    return plan.result();
}

QByteArray deleteValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint64_t filetime,
                       bool& changed) {
    const EditPlan plan = planDeleteValue(buffer, keyPath, name, filetime);
    changed = plan.changed();
    return plan.result();
}

QByteArray createKey(QByteArrayView buffer, QStringView keyPath, std::uint64_t filetime, bool& changed) {
    const EditPlan plan = planCreateKey(buffer, keyPath, filetime);
    changed = plan.changed();
    return plan.result();
}

} // namespace sw::winereg
