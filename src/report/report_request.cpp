#include "report_request.h"

#include <QSettings>

namespace sw {

QString reportDetails(const QString& notice, const QString& formText) {
    return notice == formText ? QString() : notice;
}

QString reportAddress(const QString& host, const ReportFields& fields) {
    return QStringLiteral("http://") + host + QLatin1String(kReportPath) + QStringLiteral("?name=") +
           fields.name + QStringLiteral("&program=") + fields.program + QStringLiteral("&firma=") +
           fields.company + QStringLiteral("&ort=") + fields.place + QStringLiteral("&details=") +
           fields.details;
}

QString reportHostSetting(const QSettings& settings) {
    const QString host = settings.value(QStringLiteral("Settings/ReportHost")).toString().trimmed();
    return host.isEmpty() ? QString::fromLatin1(kDefaultReportHost) : host;
}

QString reportHostSetting() {
    const QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
    return reportHostSetting(settings);
}

} // namespace sw
