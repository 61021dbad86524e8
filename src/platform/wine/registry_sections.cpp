// Reading a registry file buffer: key sections, value lines and the values' data as text.

#include "platform/wine/registry_text.h"

#include "platform/wine/registry_text_internal.h"

#include <QChar>
#include <QHash>
#include <algorithm>

namespace sw::winereg {

using namespace detail;

namespace {

QString normalizedPath(QStringView keyPath) {
    return splitKeyPath(keyPath).join(QLatin1Char('\\'));
}

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
std::optional<ValueEntry> parseValueAt(QByteArrayView buffer, qsizetype begin, qsizetype limit,
                                       qsizetype& next, qsizetype maxStringUnits = -1) {
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
        auto text = decodeString(line, p, '"', maxStringUnits, &entry.cut);
        if (!text)
            return std::nullopt;
        entry.type = type;
        entry.data = utf16Bytes(*text, !entry.cut);
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

} // namespace

namespace detail {

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
        while (common < parts.size() && common < components.size() &&
               namesEqual(parts[common], components[common]))
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

} // namespace detail

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

bool SectionScanner::matchesPath(const KeySection& section, QStringView lowerTarget, bool orBelow) const {
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
            // Past the target and its separator: a subkey's name begins.
            return orBelow && previous == u'\\';
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

QList<KeySection> findSections(QByteArrayView buffer, QStringView keyPath) {
    QList<KeySection> sections;
    for (auto section = findSection(buffer, keyPath); section;) {
        sections.append(*section);
        const qsizetype from = section->end;
        section = findSection(buffer.sliced(from), keyPath);
        if (section) {
            section->begin += from;
            section->pathBegin += from;
            section->rawPathEnd += from;
            section->headerEnd += from;
            section->end += from;
        }
    }
    return sections;
}

bool keyExists(QByteArrayView buffer, QStringView keyPath) {
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty())
        return true;
    if (findSection(buffer, keyPath))
        return true;
    return searchKey(buffer, components).exists;
}

QList<ValueEntry> parseValues(QByteArrayView buffer, const KeySection& section, qsizetype maxStringUnits) {
    QList<ValueEntry> values;
    if (!section.valid)
        return values;
    // About one value a line: room made once instead of growing a 1,000-value key ten times.
    values.reserve(std::count(buffer.begin() + section.headerEnd, buffer.begin() + section.end, '\n') + 1);
    qsizetype pos = section.headerEnd;
    while (pos < section.end) {
        qsizetype next = pos;
        qsizetype p = pos;
        while (p < section.end && isBlank(buffer[p]))
            ++p;
        if (p < section.end && (buffer[p] == '"' || buffer[p] == '@')) {
            auto value = parseValueAt(buffer, pos, section.end, next, maxStringUnits);
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

QList<ValueEntry> mergedValues(QByteArrayView buffer, const QList<KeySection>& sections,
                               qsizetype maxStringUnits) {
    QList<ValueEntry> merged;
    QHash<QString, qsizetype> positions;
    for (const KeySection& section : sections) {
        QList<ValueEntry> values = parseValues(buffer, section, maxStringUnits);
        merged.reserve(merged.size() + values.size());
        positions.reserve(merged.size() + values.size());
        for (ValueEntry& v : values) {
            const QString key = nameKey(v.name);
            if (const auto it = positions.constFind(key); it != positions.cend()) {
                merged[*it].type = v.type;
                merged[*it].data = std::move(v.data);
                merged[*it].cut = v.cut;
                continue;
            }
            positions.insert(key, merged.size());
            merged.append(std::move(v));
        }
    }
    return merged;
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

QByteArray stringData(QStringView text) {
    return utf16Bytes(text, true);
}

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

} // namespace sw::winereg
