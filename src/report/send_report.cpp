#include "send_report.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace sw {

bool sendReport(const QString& address, int accessType, std::chrono::milliseconds timeout) {
    QNetworkAccessManager manager;
    if (accessType == kDirectAccess)
        manager.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    // The address comes encoded (reportAddress); tolerant parsing keeps its escapes as they are.
    QNetworkRequest request(QUrl(address, QUrl::TolerantMode));
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
