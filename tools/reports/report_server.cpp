#include "report_server.h"

#include "report/report_request.h"
#include "report_query.h"
#include "report_store.h"

#include <QDateTime>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <cstdio>

namespace sw::reports {

namespace {

using Status = QHttpServerResponder::StatusCode;

qsizetype requestSize(const QHttpServerRequest& request) {
    qsizetype size = request.url().toEncoded().size() + request.body().size();
    for (const auto& [name, value] : request.headers())
        size += name.size() + value.size() + 4;
    return size;
}

void answer(QHttpServerResponder& responder, Status status, const QByteArray& text) {
    responder.write(text + '\n', "text/plain; charset=utf-8", status);
}

} // namespace

ReportServer::ReportServer(ReportStore& store, QObject* parent)
    : QAbstractHttpServer(parent), m_store(store) {}

bool ReportServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    if (requestSize(request) > kMaxRequestSize) {
        answer(responder, Status::PayloadTooLarge, "request too large");
        return true;
    }
    if (request.url().path() != QLatin1String(sw::kReportPath)) {
        answer(responder, Status::NotFound, "not found");
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Get) {
        answer(responder, Status::MethodNotAllowed, "only GET");
        return true;
    }
    // The query as it came, escapes and all; the parser knows the field order.
    const QByteArray query = request.url().query(QUrl::FullyEncoded).toUtf8();
    const std::optional<ReceivedReport> report = parseReportQuery(query);
    if (!report) {
        answer(responder, Status::BadRequest, "not a report");
        return true;
    }
    if (!m_store.add(*report, query, QDateTime::currentDateTimeUtc())) {
        answer(responder, Status::InternalServerError, "could not store the report");
        return true;
    }
    std::printf("stored: %s\n", qPrintable(report->program));
    std::fflush(stdout);
    answer(responder, Status::Ok, "report received, thank you");
    return true;
}

void ReportServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    answer(responder, Status::NotFound, "not found");
}

} // namespace sw::reports
