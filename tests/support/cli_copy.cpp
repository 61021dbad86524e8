#include "cli_copy.h"

#include <QDir>
#include <QFile>

namespace sw::test {

CliCopy::CliCopy() {
    const QString built = QStringLiteral(SW_BINARY_DIR "/StartWarden/");
    m_valid = m_tree.isValid() && QDir(m_tree.path()).mkpath(QStringLiteral("Program")) &&
              QDir(m_tree.path()).mkpath(QStringLiteral("home/config")) &&
              QFile::copy(built + QStringLiteral("Program/startwarden-cli"), program()) &&
              QFile::link(built + QStringLiteral("Data"), m_tree.filePath(QStringLiteral("Data")));
    // the description database, when built, and the report sender live beside the program
    for (const QString& name :
         QDir(built + QStringLiteral("Program"))
             .entryList({QStringLiteral("Search.dat"), QStringLiteral("Des_*.dat"), QStringLiteral("*.so")}))
        m_valid = m_valid && QFile::copy(built + QStringLiteral("Program/") + name,
                                         m_tree.filePath(QStringLiteral("Program/") + name));
}

QString CliCopy::program() const {
    return m_tree.filePath(QStringLiteral("Program/startwarden-cli"));
}

QString CliCopy::home() const {
    return m_tree.filePath(QStringLiteral("home"));
}

QString CliCopy::sharedBackupFolder(const QString& group) const {
    return m_tree.filePath(QStringLiteral("Program/Backups/Startmenu/") + group);
}

QProcessEnvironment CliCopy::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WINEPREFIX"));
    env.insert(QStringLiteral("HOME"), home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/data"));
    env.insert(m_variables);
    return env;
}

CliResult CliCopy::run(const QStringList& arguments, const QByteArray& input) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program(), arguments);
    process.write(input);
    process.closeWriteChannel();
    CliResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void CliCopy::start(QProcess& process, const QStringList& arguments) const {
    process.setProcessEnvironment(environment());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program(), arguments);
}

} // namespace sw::test
