#include "platform/wine/shell_link_text.h"

#include <array>

namespace sw::lnk {

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the same code point, as Windows'
// MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toAnsi(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QString decodeAnsi(QByteArrayView bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out.append(QChar(u >= 0x80 && u < 0xA0 ? kHigh[u - 0x80] : char16_t(u)));
    }
    return out;
}

QByteArray encodeAnsi(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character and gets one '?'.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            out.append('?');
            continue;
        }
        out.append(toAnsi(c.unicode()));
    }
    return out;
}

QString decodeUtf16(QByteArrayView bytes) {
    const qsizetype n = bytes.size() / 2;
    QString out(n, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto lo = static_cast<unsigned char>(bytes[2 * i]);
        const auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
        d[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i].isHighSurrogate() && i + 1 < n && d[i + 1].isLowSurrogate()) {
            ++i;
        } else if (d[i].isSurrogate()) {
            d[i] = QChar::ReplacementCharacter;
        }
    }
    return out;
}

QByteArray encodeUtf16(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

std::optional<ByteView> ByteView::sub(qsizetype offset, qsizetype length) const {
    if (!fits(offset, length)) {
        return std::nullopt;
    }
    return ByteView(m_bytes.sliced(offset, length));
}

std::optional<std::uint8_t> ByteView::u8(qsizetype offset) const {
    if (!fits(offset, 1)) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(m_bytes[offset]);
}

std::optional<std::uint16_t> ByteView::u16(qsizetype offset) const {
    if (!fits(offset, 2)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(static_cast<unsigned char>(m_bytes[offset]) |
                                      (static_cast<unsigned char>(m_bytes[offset + 1]) << 8));
}

std::optional<std::uint32_t> ByteView::u32(qsizetype offset) const {
    const auto lo = u16(offset);
    const auto hi = u16(offset + 2);
    if (!lo || !hi) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*lo) | (static_cast<std::uint32_t>(*hi) << 16);
}

std::optional<QString> ByteView::ansiZ(qsizetype offset) const {
    if (!fits(offset, 0)) {
        return std::nullopt;
    }
    const QByteArrayView rest = m_bytes.sliced(offset);
    const qsizetype end = rest.indexOf('\0');
    return decodeAnsi(end < 0 ? rest : rest.first(end));
}

std::optional<QString> ByteView::utf16Z(qsizetype offset) const {
    if (!fits(offset, 0)) {
        return std::nullopt;
    }
    qsizetype end = offset;
    while (end + 1 < size() && (m_bytes[end] != 0 || m_bytes[end + 1] != 0)) {
        end += 2;
    }
    return decodeUtf16(m_bytes.sliced(offset, end - offset));
}

} // namespace sw::lnk
