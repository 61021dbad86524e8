#pragma once

// startwarden-reports run by a test: on a free loopback port, with a database of its own.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace sw::test {

class ReceiverProcess {
public:
    static QString program() { return QStringLiteral(SW_BINARY_DIR "/tools/startwarden-reports"); }

    explicit ReceiverProcess(const QStringList& options = {}) { start(options); }
    ~ReceiverProcess() { stop(); }

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    qint64 processId() const { return m_process.processId(); }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    QString database() const { return m_dir.filePath(QStringLiteral("reports.sqlite")); }

    // Ends the server; its port is closed afterwards.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // Runs "startwarden-reports export" on the same database; its standard output.
    QByteArray exportDrafts(const QStringList& options = {}) const {
        QProcess process;
        process.start(program(),
                      QStringList{QStringLiteral("export"), QStringLiteral("--database"), database()} +
                          options);
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return "export failed: " + process.readAllStandardError();
        return process.readAllStandardOutput();
    }

private:
    void start(const QStringList& options) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program(), QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                               QStringLiteral("--database"), database()} +
                                       options);
        // The server says which port it got; reading it avoids guessing a free one.
        static const QRegularExpression listening(
            QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)/"));
        QByteArray line;
        while (!line.contains('\n') && m_process.waitForReadyRead(10000))
            line += m_process.readAllStandardOutput();
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(line));
        if (match.hasMatch())
            m_port = quint16(match.captured(1).toUInt());
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace sw::test
