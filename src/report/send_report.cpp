#include "send_report.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace sw {

namespace {

// The address holds its values unencoded, which HTTP cannot carry as they are. On the wire the query
// keeps its "&", "=" and other delimiters; everything else that needs it is percent-encoded, "%" and
// "#" included, so the server decodes exactly the text the user saw.
QUrl requestUrl(const QString& address) {
    const qsizetype query = address.indexOf(QLatin1Char('?'));
    if (query < 0)
        return QUrl(address, QUrl::TolerantMode);
    const QByteArray encodedQuery =
        QUrl::toPercentEncoding(address.mid(query + 1), QByteArrayLiteral("&=+/:;,?@!$'()*~"));
    return QUrl::fromEncoded(QUrl(address.left(query), QUrl::TolerantMode).toEncoded() + '?' + encodedQuery,
                             QUrl::StrictMode);
}

} // namespace

bool SendReport(const QString& address, int accessType, std::chrono::milliseconds timeout) {
    QNetworkAccessManager manager;
    if (accessType == kDirectAccess)
        manager.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    QNetworkRequest request(requestUrl(address));
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tidyra"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(int(timeout.count()));

    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer timeout only counts idle time; this bounds the whole request.
    QTimer::singleShot(timeout, reply, &QNetworkReply::abort);
    if (!reply->isFinished())
        loop.exec();
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    delete reply;
    return answered;
}

} // namespace sw
