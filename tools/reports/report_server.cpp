#include "report_server.h"

#include "report/report_request.h"
#include "report_store.h"
#include "request_head.h"

#include <QTcpSocket>
#include <QUrl>
#include <cstdio>

#include <sys/socket.h>

namespace sw::reports {

namespace {

// How long an answered client may go on sending before the connection is cut, and how much of it
// is read meanwhile; reading it lets the answer arrive before the close.
constexpr std::chrono::milliseconds kGrace{2000};
constexpr qint64 kMaxDrained = 1024 * 1024;
constexpr std::chrono::milliseconds kRetryInterval{500};

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 202:
        return "Accepted";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Internal Server Error";
    }
}

void printStored(const ReceivedReport& report) {
    std::printf("stored: %s\n", qPrintable(report.program));
    std::fflush(stdout);
}

} // namespace

ReportServer::ReportServer(ReportStore& store, std::chrono::milliseconds requestTimeout, QObject* parent)
    : QObject(parent), m_store(store), m_requestTimeout(requestTimeout) {
    connect(&m_server, &QTcpServer::newConnection, this, &ReportServer::acceptConnections);
    m_retry.setInterval(kRetryInterval);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (storeWaiting())
            m_retry.stop();
    });
}

quint16 ReportServer::listen(const QHostAddress& address, quint16 port) {
    return m_server.listen(address, port) ? m_server.serverPort() : 0;
}

void ReportServer::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        // Qt reads no more from the network than one request can hold.
        socket->setReadBufferSize(kMaxRequestSize + 1);
        m_requests.insert(socket, QByteArray());
        auto* deadline = new QTimer(socket);
        deadline->setObjectName(QStringLiteral("deadline"));
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [this, socket] {
            if (m_requests.contains(socket))
                respond(socket, 408, "request not complete in time");
            else
                socket->abort(); // answered, and the client still sends
        });
        deadline->start(m_requestTimeout);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_requests.remove(socket);
            socket->deleteLater();
        });
        readRequest(socket);
    }
}

void ReportServer::readRequest(QTcpSocket* socket) {
    const auto found = m_requests.find(socket);
    if (found == m_requests.end()) {
        // Answered: what still comes is dropped, up to a bound.
        const qint64 drained = socket->property("drained").toLongLong() + socket->skip(kMaxRequestSize + 1);
        socket->setProperty("drained", drained);
        if (drained > kMaxDrained)
            socket->abort();
        return;
    }
    QByteArray& received = *found;
    received += socket->read(kMaxRequestSize + 1 - received.size());
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (received.size() > kMaxRequestSize)
            respond(socket, 413, "request too large");
        return;
    }
    const std::optional<RequestHead> head = parseRequestHead(QByteArrayView(received).first(headEnd));
    if (!head) {
        respond(socket, 400, "not an HTTP request");
        return;
    }
    if (head->chunked) {
        respond(socket, 411, "a body needs a Content-Length");
        return;
    }
    // Refused by what the head announces, before any of a large body is read.
    const qint64 total = headEnd + 4 + head->contentLength;
    if (total > kMaxRequestSize) {
        respond(socket, 413, "request too large");
        return;
    }
    if (received.size() < total)
        return; // the body is still coming
    const auto [status, text] = handle(*head);
    respond(socket, status, text);
}

std::pair<int, QByteArray> ReportServer::handle(const RequestHead& request) {
    if (QUrl::fromPercentEncoding(request.path) != QLatin1String(sw::kReportPath))
        return {404, "not found"};
    if (request.method != "GET")
        return {405, "only GET"};
    const std::optional<ReceivedReport> report = parseReportQuery(request.query);
    if (!report)
        return {400, "not a report"};
    if (report->program.trimmed().isEmpty())
        return {400, "a report names a program"};
    if (m_waiting.isEmpty()) {
        switch (m_store.add(*report, request.query, QDateTime::currentDateTimeUtc())) {
        case ReportStore::Added::Stored:
            printStored(*report);
            return {200, "report received, thank you"};
        case ReportStore::Added::Failed:
            return {500, "could not store the report"};
        case ReportStore::Added::Busy:
            break;
        }
    } else if (m_waiting.size() >= kMaxWaiting) {
        return {503, "the report database is busy; try again later"};
    }
    // Behind the reports already waiting, so that a program's latest report stays the latest; the
    // retry stores them, so this request waits no longer.
    m_waiting.append({*report, request.query, QDateTime::currentDateTimeUtc()});
    if (!m_retry.isActive())
        m_retry.start();
    return {202, "report received; it is stored once the database is free"};
}

bool ReportServer::storeWaiting() {
    while (!m_waiting.isEmpty()) {
        const Waiting& next = m_waiting.first();
        switch (m_store.add(next.report, next.rawQuery, next.when)) {
        case ReportStore::Added::Stored:
            printStored(next.report);
            break;
        case ReportStore::Added::Busy:
            return false;
        case ReportStore::Added::Failed:
            std::fprintf(stderr, "startwarden-reports: could not store the report of %s: %s\n",
                         qPrintable(next.report.program), qPrintable(m_store.lastError()));
            break;
        }
        m_waiting.removeFirst();
    }
    return true;
}

void ReportServer::respond(QTcpSocket* socket, int status, const QByteArray& text) {
    m_requests.remove(socket);
    const QByteArray body = text + '\n';
    socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                  "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    // The answer ends the connection for the client (a FIN after it) while its remaining bytes are
    // still read and dropped: closing with them unread would reset the connection and could lose
    // the answer.
    const auto endSending = [socket] {
        if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, endSending);
    socket->flush();
    endSending();
    if (auto* deadline = socket->findChild<QTimer*>(QStringLiteral("deadline")))
        deadline->start(kGrace);
}

} // namespace sw::reports
