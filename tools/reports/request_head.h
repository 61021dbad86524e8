#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sw::reports {

// The request line and the headers the receiver acts on, from the bytes before the blank line.
struct RequestHead {
    QByteArray method;
    QByteArray path;  // percent-escapes left as they came
    QByteArray query; // without the "?", as it came
    qint64 contentLength = 0;
    bool chunked = false; // a body of unknown length
};

// Parses "METHOD TARGET HTTP/1.x" and the header lines (CRLF-separated, without the final blank
// line). Nothing for a malformed line, a Content-Length that is no number or that differs between
// two headers.
std::optional<RequestHead> parseRequestHead(QByteArrayView head);

} // namespace sw::reports
