#include "report_query.h"

#include <QStringDecoder>
#include <array>

namespace sw::reports {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "%XX" becomes its byte; a "%" without two hex digits is kept as it stands. "+" stays "+": the
// sender never writes a blank as "+".
QByteArray percentDecoded(QByteArrayView value) {
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 &&
            hexValue(value[i + 2]) >= 0) {
            bytes.append(char(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2])));
            i += 2;
        } else {
            bytes.append(value[i]);
        }
    }
    return bytes;
}

QString decodedText(QByteArrayView value) {
    const QByteArray bytes = percentDecoded(value);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

} // namespace

std::optional<ReceivedReport> parseReportQuery(QByteArrayView query) {
    static constexpr QByteArrayView kFirst("name=");
    static constexpr std::array<QByteArrayView, 4> kMarkers{"&program=", "&firma=", "&ort=", "&details="};
    if (!query.startsWith(kFirst))
        return std::nullopt;
    std::array<QByteArrayView, 5> values;
    qsizetype from = kFirst.size();
    for (std::size_t i = 0; i < kMarkers.size(); ++i) {
        const qsizetype at = query.indexOf(kMarkers[i], from);
        if (at < 0)
            return std::nullopt;
        values[i] = query.sliced(from, at - from);
        from = at + kMarkers[i].size();
    }
    values[4] = query.sliced(from);
    return ReceivedReport{decodedText(values[0]), decodedText(values[1]), decodedText(values[2]),
                          decodedText(values[3]), decodedText(values[4])};
}

} // namespace sw::reports
