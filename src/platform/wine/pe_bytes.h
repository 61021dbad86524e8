#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace sw::pe {

// Little-endian reads from a byte array; every read checks its range, so callers can validate
// with inRange() and still never read past the end when a check was forgotten.
inline bool inRange(const QByteArray& bytes, quint64 offset, quint64 length) {
    const auto total = static_cast<quint64>(bytes.size());
    return offset <= total && length <= total - offset;
}

inline quint8 u8(const QByteArray& bytes, quint64 offset) {
    return inRange(bytes, offset, 1) ? static_cast<quint8>(bytes[static_cast<qsizetype>(offset)]) : 0;
}

inline quint16 u16(const QByteArray& bytes, quint64 offset) {
    return inRange(bytes, offset, 2) ? static_cast<quint16>(u8(bytes, offset) | u8(bytes, offset + 1) << 8)
                                     : 0;
}

inline quint32 u32(const QByteArray& bytes, quint64 offset) {
    return inRange(bytes, offset, 4)
               ? static_cast<quint32>(u16(bytes, offset)) | static_cast<quint32>(u16(bytes, offset + 2)) << 16
               : 0;
}

// count UTF-16 code units from offset, or a null string when they do not fit.
inline QString utf16(const QByteArray& bytes, quint64 offset, quint64 count) {
    if (!inRange(bytes, offset, count * 2))
        return {};
    QString text(static_cast<qsizetype>(count), Qt::Uninitialized);
    for (quint64 i = 0; i < count; ++i)
        text[static_cast<qsizetype>(i)] = QChar(u16(bytes, offset + 2 * i));
    return text;
}

inline constexpr quint64 align4(quint64 value) {
    return (value + 3) & ~quint64{3};
}

} // namespace sw::pe
