// Parses the input as a received report query. Besides crashes and hangs it checks the round trip
// the receiver relies on: five values split from the input at NUL bytes, put into a query as the
// sender does (unencoded), come back unchanged as long as none holds a field marker or a "%".
#include "report_query.h"

#include <QByteArrayList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool plainValue(const QByteArray& value) {
    for (const char* marker : {"&program=", "&firma=", "&ort=", "&details="})
        if (value.contains(marker))
            return false;
    return !value.contains('%') && QString::fromUtf8(value).toUtf8() == value;
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

    const QByteArrayList values = bytes.split('\0');
    if (values.size() != 5)
        return 0;
    for (const QByteArray& value : values)
        if (!plainValue(value))
            return 0;
    const QByteArray query = "name=" + values[0] + "&program=" + values[1] + "&firma=" + values[2] +
                             "&ort=" + values[3] + "&details=" + values[4];
    const auto report = sw::reports::parseReportQuery(query);
    if (!report || report->name.toUtf8() != values[0] || report->program.toUtf8() != values[1] ||
        report->company.toUtf8() != values[2] || report->place.toUtf8() != values[3] ||
        report->details.toUtf8() != values[4])
        std::abort();
    return 0;
}
