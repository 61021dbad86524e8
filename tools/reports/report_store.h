#pragma once

#include "report_query.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace sw::reports {

// One program as the database keeps it: the latest report of it and how often it came.
struct StoredReport {
    ReceivedReport report;
    QByteArray rawQuery; // as the latest request carried it
    QDateTime firstTime;
    QDateTime lastTime;
    int count = 0;
};

// The reports in an SQLite database, one row per program (compared ignoring case, as Windows
// compares paths); a repeat counts up instead of adding a row.
class ReportStore {
public:
    explicit ReportStore(const QString& path);
    ~ReportStore();
    ReportStore(const ReportStore&) = delete;
    ReportStore& operator=(const ReportStore&) = delete;

    // Empty when the database is open and has its table.
    QString problem() const { return m_problem; }

    enum class Added { Stored, Busy, Failed };
    // How long a write waits for another process's lock before it gives up with Busy.
    static constexpr int kBusyTimeoutMs = 250;

    // Stores a report; a repeat keeps the first time, counts up and takes the latest fields, but
    // keeps earlier details when the repeat has none. Busy when another connection holds the
    // database locked past the busy timeout: nothing was written and the same call may be repeated.
    Added add(const ReceivedReport& report, const QByteArray& rawQuery, const QDateTime& when);
    // Why the last add failed.
    QString lastError() const { return m_lastError; }
    // The most reported programs first, the most recent first among equals.
    QList<StoredReport> mostReported(int limit) const;

private:
    QString m_connection;
    QString m_problem;
    QString m_lastError;
};

} // namespace sw::reports
