#include "wine_session.h"

#include <QProcess>
#include <QStandardPaths>

namespace sw::test {

WineSession::WineSession(const QString& prefix)
    : m_prefix(prefix), m_environment(QProcessEnvironment::systemEnvironment()) {
    m_environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    m_environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    m_environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
}

WineSession::~WineSession() {
    if (m_serverMayRun)
        stopServer();
}

bool WineSession::available() {
    return !QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("wineserver")).isEmpty();
}

void WineSession::setVariable(const QString& name, const QString& value) {
    m_environment.insert(name, value);
}

int WineSession::run(const QString& program, const QStringList& arguments, QByteArray* out, int timeout) {
    m_serverMayRun = true;
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return kNotStarted;
    const bool finished = process.waitForFinished(timeout);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    if (out)
        *out = process.readAllStandardOutput();
    if (!finished)
        return kTimedOut;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : kCrashed;
}

int WineSession::boot(int timeout) {
    return run(QStringLiteral("wine"), {QStringLiteral("wineboot"), QStringLiteral("-i")}, nullptr, timeout);
}

int WineSession::waitForServer(int timeout) {
    const int code = run(QStringLiteral("wineserver"), {QStringLiteral("-w")}, nullptr, timeout);
    // wineserver -w also succeeds when no server runs; either way none holds the prefix now
    m_serverMayRun = code != 0;
    return code;
}

void WineSession::stopServer() {
    run(QStringLiteral("wineserver"), {QStringLiteral("-k")}, nullptr, 30000);
    waitForServer(60000);
}

} // namespace sw::test
