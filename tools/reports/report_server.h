#pragma once

#include "report_query.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTimer>
#include <chrono>

class QTcpSocket;

namespace sw::reports {

class ReportStore;
struct RequestHead;

// Serves the report path over plain HTTP/1.1, one request per connection: each GET with a
// well-formed report query is stored and answered with 200; anything else gets a 4xx answer and
// stores nothing. A connection never holds more than the size limit: a request is refused as soon
// as its head or its announced body passes it, and one that is not complete within the request
// timeout is closed. While another process holds the database locked, reports wait in memory and
// are stored by a retry once it is free.
class ReportServer : public QObject {
    Q_OBJECT
public:
    // Requests above this size (request line, headers and body) are refused.
    static constexpr qsizetype kMaxRequestSize = 8 * 1024;
    // How long a client may take from connecting to the end of its request.
    static constexpr std::chrono::milliseconds kDefaultRequestTimeout{10000};
    // Reports waiting for a locked database; beyond this, new ones are turned away.
    static constexpr qsizetype kMaxWaiting = 1000;

    explicit ReportServer(ReportStore& store,
                          std::chrono::milliseconds requestTimeout = kDefaultRequestTimeout,
                          QObject* parent = nullptr);

    // The port listened on, or 0 when the address cannot be taken.
    quint16 listen(const QHostAddress& address, quint16 port);

private:
    struct Waiting {
        ReceivedReport report;
        QByteArray rawQuery;
        QDateTime when;
    };

    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    // The status and text that answer a complete request.
    std::pair<int, QByteArray> handle(const RequestHead& request);
    // Answers, then reads and drops what the client still sends until it closes or the grace ends.
    void respond(QTcpSocket* socket, int status, const QByteArray& text);
    // Stores the waiting reports in order; false while the database is still locked.
    bool storeWaiting();

    QTcpServer m_server;
    ReportStore& m_store;
    std::chrono::milliseconds m_requestTimeout;
    QHash<QTcpSocket*, QByteArray> m_requests; // connections still sending, with what came so far
    QList<Waiting> m_waiting;
    QTimer m_retry;
};

} // namespace sw::reports
