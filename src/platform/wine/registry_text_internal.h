#pragma once

// Helpers shared by the registry text files (registry_text.cpp: the format; registry_sections.cpp:
// reading sections and values; registry_edits.cpp: writing and edit plans). Not part of the public API.

#include "platform/wine/registry_text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstring>

namespace sw::winereg::detail {

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
inline bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}
inline char16_t lower(char16_t unit) {
    return QChar::toLower(unit);
}

// Offset of the next '\n' at or after from, or size.
inline qsizetype lineEnd(QByteArrayView buffer, qsizetype from) {
    if (from >= buffer.size())
        return buffer.size();
    const void* hit = std::memchr(buffer.data() + from, '\n', static_cast<size_t>(buffer.size() - from));
    return hit ? static_cast<const char*>(hit) - buffer.data() : buffer.size();
}
// The line's content end: before the '\n' and an optional '\r'.
inline qsizetype contentEnd(QByteArrayView buffer, qsizetype begin, qsizetype end) {
    if (end > begin && buffer[end - 1] == '\r')
        --end;
    return end;
}

// Decodes one Wine string unit by unit, as parse_strW does (raw bytes are read as UTF-8).
class Decoder {
public:
    Decoder(QByteArrayView text, qsizetype pos, char terminator)
        : m_text(text), m_pos(pos), m_term(terminator) {}

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
        case 'a':
            unit = 0x07;
            ++m_pos;
            return 1;
        case 'b':
            unit = 0x08;
            ++m_pos;
            return 1;
        case 'e':
            unit = 0x1b;
            ++m_pos;
            return 1;
        case 'f':
            unit = 0x0c;
            ++m_pos;
            return 1;
        case 'n':
            unit = 0x0a;
            ++m_pos;
            return 1;
        case 'r':
            unit = 0x0d;
            ++m_pos;
            return 1;
        case 't':
            unit = 0x09;
            ++m_pos;
            return 1;
        case 'v':
            unit = 0x0b;
            ++m_pos;
            return 1;
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

// The UTF-16LE bytes of a text, with a final NUL when terminate is set.
QByteArray utf16Bytes(QStringView text, bool terminate);
// The text of UTF-16LE bytes (an odd final byte is ignored).
QString utf16Text(const QByteArray& data);

struct KeySearch {
    bool exists = false;
    QStringList spelling;     // the existing spelling of the longest existing ancestor
    qsizetype insertPos = -1; // where a new section goes (-1: at the end)
};

// Finds the key (or a section below it) and, when missing, the spelling of its longest existing
// ancestor and where a new section for it goes in Wine's order.
KeySearch searchKey(QByteArrayView buffer, const QStringList& components);

} // namespace sw::winereg::detail
