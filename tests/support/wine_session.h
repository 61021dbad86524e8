#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace sw::test {

// Runs Wine's own programs on one prefix for the tests that check against Wine itself. Every
// program gets the prefix, no debug output and no Mono or Gecko installer; tests add or replace
// variables with setVariable(). The destructor stops a wineserver that may still hold the prefix,
// so the prefix's folder can be removed after it.
class WineSession {
public:
    // What run() returns instead of an exit code.
    static constexpr int kNotStarted = -1;
    static constexpr int kTimedOut = -2;
    static constexpr int kCrashed = -3;

    explicit WineSession(const QString& prefix);
    ~WineSession();
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    // Whether wine and wineserver are on PATH.
    static bool available();

    QString prefix() const { return m_prefix; }
    QProcessEnvironment environment() const { return m_environment; }
    void setVariable(const QString& name, const QString& value);

    // Runs a program (wine, wineserver, ...) with environment() and stdin closed; returns its exit
    // code or one of the k... values. A program that times out is killed. out receives its
    // standard output whenever it started.
    int run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr,
            int timeout = 300000);
    // wine wineboot -i: makes or updates the prefix.
    int boot(int timeout = 300000);
    // wineserver -w: waits until the server has written the registry files and ended.
    int waitForServer(int timeout = 120000);
    // wineserver -k, then -w.
    void stopServer();

private:
    QString m_prefix;
    QProcessEnvironment m_environment;
    bool m_serverMayRun = false;
};

} // namespace sw::test
