#pragma once

#include <QString>

class QSettings;

namespace sw {

// What one report carries, in the order the address lists it.
struct ReportFields {
    QString name;
    QString program;
    QString company;
    QString place;
    QString details;
};

// Where reports go when the user has not set ReportHost: the receiver's own default address, so a
// maintainer can run it on the same machine without any setting.
inline constexpr const char* kDefaultReportHost = "127.0.0.1:8470";
inline constexpr const char* kReportPath = "/_system/tidyra_startwarden.php";

// The notice, or the empty text when the user left the form's own text in place.
QString reportDetails(const QString& notice, const QString& formText);

// "http://HOST/_system/tidyra_startwarden.php?name=...&program=...&firma=...&ort=...&details=...".
// Every value is percent-encoded as UTF-8 (all but letters, digits and "-._~"), so a value holding
// "&", "=", "%", "#" or a blank arrives as one field, exactly as typed.
QString reportAddress(const QString& host, const ReportFields& fields);

// "ReportHost" of section "Settings" ("host" or "host:port"), or kDefaultReportHost when it is
// missing or blank.
QString reportHostSetting(const QSettings& settings);
// The same from the per-user settings (~/.config/Tidyra/Tidyra.conf).
QString reportHostSetting();

} // namespace sw
