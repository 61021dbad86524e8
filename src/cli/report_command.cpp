// report: sends one entry to the report endpoint, as the window's report dialog does.
#include "cli_context.h"
#include "info/description_database.h"
#include "info/entry_information.h"
#include "report/report_request.h"
#include "report/send_report.h"

#include <QCoreApplication>
#include <QLibrary>

namespace sw::cli {

namespace {

constexpr qsizetype kNoticeLength = 1000; // what the dialog's notice box holds

// Sends through the sender module beside the program, which carries Qt Network: loading it only
// here keeps it out of every other command's start-up. Empty on success, else why it failed.
QString sendThroughModule(const QString& address, bool& answered) {
    using Send = bool (*)(const QString&, int, qint64);
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/startwarden-report-sender"));
    const auto send = reinterpret_cast<Send>(module.resolve("swSendReport"));
    if (!send)
        return module.errorString();
    answered = send(address, kDirectAccess, kReportTimeout.count());
    return {};
}

} // namespace

int runReportCommand(Context& context) {
    QString category;
    if (const int status = entryArguments(context, QStringLiteral("report"), category); status != kDone)
        return status;
    const QString notice = context.parser.value(QStringLiteral("notice"));
    if (notice.size() > kNoticeLength)
        return fail(kUsageError, QStringLiteral("the notice holds at most %1 characters").arg(kNoticeLength));
    AutostartEntry row;
    if (const int status = findEntry(context, context.arguments.first(), category, row); status != kDone)
        return status;

    // The company comes from the program's version texts; a missing program has none.
    const EntryInformation info = describeEntry(context.platform, DescriptionDatabase{}, row);
    const ReportFields fields{row.name, row.program, info.company, row.placeLabel,
                              reportDetails(notice, context.texts.getText(QStringLiteral("ReportForm")))};
    const QString host = reportHostSetting();
    const QString address = reportAddress(host, fields);
    if (context.parser.isSet(QStringLiteral("dry-run"))) {
        say(address);
        return kDone;
    }
    bool answered = false;
    if (const QString error = sendThroughModule(address, answered); !error.isEmpty())
        return fail(kNotSent, QStringLiteral("reports cannot be sent: %1").arg(error));
    if (!answered)
        return fail(
            kNotSent,
            QStringLiteral("the report of \"%1\" could not be sent: no answer from %2").arg(row.name, host));
    say(QStringLiteral("sent the report of \"%1\" to %2").arg(row.name, host));
    return kDone;
}

} // namespace sw::cli
