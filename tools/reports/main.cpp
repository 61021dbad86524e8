// startwarden-reports: receives the reports the program sends and turns them into draft records
// of the description database.
#include "draft_records.h"
#include "report_server.h"
#include "report_store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <cstdio>

namespace {

constexpr const char* kDefaultListen = "127.0.0.1:8470";

int fail(const QString& message) {
    std::fprintf(stderr, "startwarden-reports: %s\n", qPrintable(message));
    return 2;
}

// "ADDR:PORT", the address also in brackets ("[::1]:8470").
bool parseListen(const QString& text, QHostAddress& address, quint16& port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    if (!ok || number > 65535 || !address.setAddress(host))
        return false;
    port = quint16(number);
    return true;
}

QString defaultDatabase() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/reports.sqlite");
}

int serve(const QCommandLineParser& parser, sw::reports::ReportStore& store) {
    QHostAddress address;
    quint16 port = 0;
    const QString listen = parser.isSet(QStringLiteral("listen")) ? parser.value(QStringLiteral("listen"))
                                                                  : QString::fromLatin1(kDefaultListen);
    if (!parseListen(listen, address, port))
        return fail(QStringLiteral("--listen takes ADDR:PORT, not \"%1\"").arg(listen));
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("request-timeout")).toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 3600)
        return fail(QStringLiteral("--request-timeout takes a number of seconds up to 3600"));
    sw::reports::ReportServer server(store, std::chrono::milliseconds(qint64(seconds * 1000)));
    const quint16 bound = server.listen(address, port);
    if (bound == 0)
        return fail(QStringLiteral("cannot listen on %1").arg(listen));
    // Tests and scripts read the port from this line when they asked for port 0.
    const QString shown = address.protocol() == QAbstractSocket::IPv6Protocol
                              ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                              : address.toString();
    std::printf("listening on http://%s:%u/\n", qPrintable(shown), unsigned(bound));
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int exportDrafts(const QCommandLineParser& parser, sw::reports::ReportStore& store) {
    bool ok = false;
    const int limit = parser.value(QStringLiteral("limit")).toInt(&ok);
    if (!ok || limit <= 0)
        return fail(QStringLiteral("--limit takes a positive number"));
    const QByteArray text = sw::reports::draftRecords(store.mostReported(limit)).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("startwarden-reports"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SW_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Receives StartWarden's reports of unknown entries into an SQLite database.\n\n"
                       "  startwarden-reports [--listen ADDR:PORT]   serve (default %1)\n"
                       "  startwarden-reports export [--limit N]    print the most reported programs as "
                       "draft records")
            .arg(QLatin1String(kDefaultListen)));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("listen"), QStringLiteral("Address and port to listen on."),
         QStringLiteral("ADDR:PORT")},
        {QStringLiteral("database"),
         QStringLiteral("The report database (default %1).").arg(defaultDatabase()), QStringLiteral("FILE")},
        {QStringLiteral("limit"), QStringLiteral("export: how many programs (default 20)."),
         QStringLiteral("N"), QStringLiteral("20")},
        {QStringLiteral("request-timeout"),
         QStringLiteral("Seconds a client may take to send its request before it is closed (default %1).")
             .arg(sw::reports::ReportServer::kDefaultRequestTimeout.count() / 1000),
         QStringLiteral("SECONDS"),
         QString::number(sw::reports::ReportServer::kDefaultRequestTimeout.count() / 1000)},
    });
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("Nothing to serve, or export."),
                                 QStringLiteral("[export]"));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    const bool exporting = arguments == QStringList{QStringLiteral("export")};
    if (!arguments.isEmpty() && !exporting)
        return fail(
            QStringLiteral("unknown command \"%1\"; try --help").arg(arguments.join(QLatin1Char(' '))));

    const QString database = parser.isSet(QStringLiteral("database"))
                                 ? parser.value(QStringLiteral("database"))
                                 : defaultDatabase();
    if (!exporting)
        QDir().mkpath(QFileInfo(database).absolutePath());
    else if (!QFileInfo::exists(database))
        return fail(QStringLiteral("no report database at %1").arg(database));
    sw::reports::ReportStore store(database);
    if (!store.problem().isEmpty())
        return fail(QStringLiteral("cannot open %1: %2").arg(database, store.problem()));
    return exporting ? exportDrafts(parser, store) : serve(parser, store);
}
