#include "report_request.h"

#include <QSettings>
#include <QUrl>

namespace sw {

QString reportDetails(const QString& notice, const QString& formText) {
    return notice == formText ? QString() : notice;
}

QString reportAddress(const QString& host, const ReportFields& fields) {
    const auto encoded = [](const QString& value) {
        return QString::fromLatin1(QUrl::toPercentEncoding(value));
    };
    return QStringLiteral("http://") + host + QLatin1String(kReportPath) + QStringLiteral("?name=") +
           encoded(fields.name) + QStringLiteral("&program=") + encoded(fields.program) +
           QStringLiteral("&firma=") + encoded(fields.company) + QStringLiteral("&ort=") +
           encoded(fields.place) + QStringLiteral("&details=") + encoded(fields.details);
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
