#pragma once

#include <QAbstractHttpServer>

namespace sw::reports {

class ReportStore;

// Serves the report path: each GET with a well-formed report query is stored and answered with 200;
// anything else gets a 4xx answer and stores nothing.
class ReportServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    // Requests above this size (target, headers and body) are refused.
    static constexpr qsizetype kMaxRequestSize = 8 * 1024;

    explicit ReportServer(ReportStore& store, QObject* parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    ReportStore& m_store;
};

} // namespace sw::reports
