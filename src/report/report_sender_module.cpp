// The command line's report sender: the only part of it that needs Qt Network, loaded when a
// report is sent (see the report command).
#include "report/send_report.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT bool swSendReport(const QString& address, int accessType, qint64 timeoutMs) {
    return sw::sendReport(address, accessType, std::chrono::milliseconds(timeoutMs));
}
