#include "request_head.h"

#include <QList>

namespace sw::reports {

namespace {

bool isDigits(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

std::optional<RequestHead> parseRequestHead(QByteArrayView head) {
    const QList<QByteArray> lines = head.toByteArray().split('\n');
    const QList<QByteArray> parts = lines.first().trimmed().split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || !parts[1].startsWith('/') ||
        !parts[2].startsWith("HTTP/1."))
        return std::nullopt;
    RequestHead request;
    request.method = parts[0];
    QByteArray target = parts[1];
    if (const qsizetype fragment = target.indexOf('#'); fragment >= 0)
        target.truncate(fragment);
    const qsizetype question = target.indexOf('?');
    request.path = target.left(question < 0 ? target.size() : question);
    request.query = question < 0 ? QByteArray() : target.mid(question + 1);
    bool lengthSeen = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            if (!isDigits(value) || (lengthSeen && value.toLongLong() != request.contentLength))
                return std::nullopt;
            request.contentLength = value.toLongLong();
            lengthSeen = true;
        } else if (name == "transfer-encoding") {
            request.chunked = true;
        }
    }
    return request;
}

} // namespace sw::reports
