#include "report_store.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace sw::reports {

ReportStore::ReportStore(const QString& path)
    : m_connection(QStringLiteral("reports-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    database.setDatabaseName(path);
    // A lock held by another process fails a write quickly, so a request does not wait on it.
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!database.open()) {
        m_problem = database.lastError().text();
        return;
    }
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS reports ("
                                   "program TEXT NOT NULL COLLATE NOCASE PRIMARY KEY, "
                                   "name TEXT NOT NULL, company TEXT NOT NULL, place TEXT NOT NULL, "
                                   "details TEXT NOT NULL, raw_query BLOB NOT NULL, "
                                   "first_time TEXT NOT NULL, last_time TEXT NOT NULL, "
                                   "count INTEGER NOT NULL DEFAULT 1)")))
        m_problem = query.lastError().text();
}

ReportStore::~ReportStore() {
    {
        QSqlDatabase database = QSqlDatabase::database(m_connection, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

ReportStore::Added ReportStore::add(const ReceivedReport& report, const QByteArray& rawQuery,
                                    const QDateTime& when) {
    if (!m_problem.isEmpty()) {
        m_lastError = m_problem;
        return Added::Failed;
    }
    QSqlQuery query(QSqlDatabase::database(m_connection));
    const bool prepared = query.prepare(QStringLiteral(
        "INSERT INTO reports (program, name, company, place, details, raw_query, first_time, last_time) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT(program) DO UPDATE SET "
        "count = count + 1, last_time = excluded.last_time, name = excluded.name, "
        "company = excluded.company, place = excluded.place, raw_query = excluded.raw_query, "
        "details = CASE WHEN excluded.details <> '' THEN excluded.details ELSE details END"));
    if (prepared) {
        const QString time = when.toUTC().toString(Qt::ISODate);
        for (const QVariant& value :
             {QVariant(report.program), QVariant(report.name), QVariant(report.company),
              QVariant(report.place), QVariant(report.details), QVariant(rawQuery), QVariant(time),
              QVariant(time)})
            query.addBindValue(value);
        if (query.exec())
            return Added::Stored;
    }
    const QSqlError error = query.lastError();
    m_lastError = error.text();
    // SQLITE_BUSY and SQLITE_LOCKED, with their extended codes.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 || code == 6 ? Added::Busy : Added::Failed;
}

QList<StoredReport> ReportStore::mostReported(int limit) const {
    QList<StoredReport> reports;
    if (!m_problem.isEmpty())
        return reports;
    QSqlQuery query(QSqlDatabase::database(m_connection));
    query.prepare(
        QStringLiteral("SELECT name, program, company, place, details, raw_query, first_time, "
                       "last_time, count FROM reports ORDER BY count DESC, last_time DESC LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec())
        return reports;
    while (query.next()) {
        StoredReport stored;
        stored.report = {query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                         query.value(3).toString(), query.value(4).toString()};
        stored.rawQuery = query.value(5).toByteArray();
        stored.firstTime = QDateTime::fromString(query.value(6).toString(), Qt::ISODate);
        stored.lastTime = QDateTime::fromString(query.value(7).toString(), Qt::ISODate);
        stored.count = query.value(8).toInt();
        reports.append(stored);
    }
    return reports;
}

} // namespace sw::reports
