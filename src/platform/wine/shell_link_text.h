#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace sw::lnk {

// Windows-1252, the ANSI code page a Wine prefix uses under a Western or C locale. Characters the
// code page cannot hold become '?', as WideCharToMultiByte does.
QString decodeAnsi(QByteArrayView bytes);
QByteArray encodeAnsi(const QString& text);

// UTF-16LE code units as they are; unpaired surrogates become U+FFFD so that later conversions to
// UTF-8 cannot fail or lose the rest of the string.
QString decodeUtf16(QByteArrayView bytes);
QByteArray encodeUtf16(const QString& text);

// Little-endian reads that never step outside the bytes they were given; every read says whether
// it fitted.
class ByteView {
public:
    ByteView() = default;
    explicit ByteView(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype size() const { return m_bytes.size(); }
    bool fits(qsizetype offset, qsizetype length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    // The part [offset, offset + length), or nullopt when it does not fit.
    std::optional<ByteView> sub(qsizetype offset, qsizetype length) const;
    std::optional<std::uint8_t> u8(qsizetype offset) const;
    std::optional<std::uint16_t> u16(qsizetype offset) const;
    std::optional<std::uint32_t> u32(qsizetype offset) const;

    // A NUL-terminated string starting at offset; a missing NUL ends the string at the end of the
    // view. nullopt when offset itself lies outside.
    std::optional<QString> ansiZ(qsizetype offset) const;
    std::optional<QString> utf16Z(qsizetype offset) const;

    QByteArrayView bytes() const { return m_bytes; }

private:
    QByteArrayView m_bytes;
};

} // namespace sw::lnk
