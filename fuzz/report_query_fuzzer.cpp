// Parses the input as a received report query and as a request head. Besides crashes and hangs it
// checks the round trips the receiver relies on: five values split from the input at NUL bytes come
// back unchanged when the sender percent-encodes them, whatever they hold, and also when put in
// unencoded as earlier senders did, as long as none holds a field marker or a "%".
#include "report_query.h"
#include "request_head.h"

#include <QByteArrayList>
#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool isUtf8(const QByteArray& value) {
    return QString::fromUtf8(value).toUtf8() == value;
}

bool plainValue(const QByteArray& value) {
    for (const char* marker : {"&program=", "&firma=", "&ort=", "&details="})
        if (value.contains(marker))
            return false;
    return !value.contains('%') && isUtf8(value);
}

// The five values joined into a query, each passed through `encode`; aborts unless they parse back.
template <typename Encode> void roundTrip(const QByteArrayList& values, Encode encode) {
    const QByteArray query = "name=" + encode(values[0]) + "&program=" + encode(values[1]) +
                             "&firma=" + encode(values[2]) + "&ort=" + encode(values[3]) +
                             "&details=" + encode(values[4]);
    const auto report = sw::reports::parseReportQuery(query);
    if (!report || report->name.toUtf8() != values[0] || report->program.toUtf8() != values[1] ||
        report->company.toUtf8() != values[2] || report->place.toUtf8() != values[3] ||
        report->details.toUtf8() != values[4])
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto report = sw::reports::parseReportQuery(bytes)) {
        for (const QString* field :
             {&report->name, &report->program, &report->company, &report->place, &report->details})
            if (field->size() > bytes.size())
                std::abort();
    }
    if (const auto head = sw::reports::parseRequestHead(bytes))
        if (head->contentLength < 0 || head->path.size() + head->query.size() > bytes.size())
            std::abort();

    const QByteArrayList values = bytes.split('\0');
    if (values.size() != 5)
        return 0;
    bool utf8 = true, plain = true;
    for (const QByteArray& value : values) {
        utf8 = utf8 && isUtf8(value);
        plain = plain && plainValue(value);
    }
    if (utf8)
        roundTrip(values,
                  [](const QByteArray& value) { return QUrl::toPercentEncoding(QString::fromUtf8(value)); });
    if (plain)
        roundTrip(values, [](const QByteArray& value) { return value; });
    return 0;
}
