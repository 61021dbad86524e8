#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace sw::reports {

// The fields of one received report, decoded.
struct ReceivedReport {
    QString name;
    QString program;
    QString company;
    QString place;
    QString details;
};

// Parses a report's query as it arrives: "name=N&program=P&firma=F&ort=O&details=D". The sender
// percent-encodes its values, but earlier senders put them in unencoded, so a value may hold "&",
// blanks or "="; the fields are therefore
// found by their markers in this fixed order (the first "&program=" after "name=", and so on), and
// the details run to the end. Percent-escapes are decoded; bytes that are not UTF-8 are read as
// Latin-1. Nothing when the query does not carry all five fields in order.
std::optional<ReceivedReport> parseReportQuery(QByteArrayView query);

} // namespace sw::reports
