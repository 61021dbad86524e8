#pragma once

// startwarden-cli run from a throwaway copy of its program tree (Program/ with the program, Data linked
// to the build's), with a home of its own, so its backups, settings and ~/.wine never touch the user's.
#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace sw::test {

struct CliResult {
    int exitCode = -1; // -1 when the program crashed or did not end
    QByteArray out;
    QByteArray err;
};

class CliCopy {
public:
    CliCopy();

    bool isValid() const { return m_valid; }
    QString program() const;
    QString home() const;
    // Where earlier versions kept the backed-up Startup files of a group ("Local User", "All Users")
    // for every prefix: the program folder.
    QString sharedBackupFolder(const QString& group) const;
    // Sets a variable of the program's environment (e.g. WINEPREFIX, which it otherwise lacks).
    void setVariable(const QString& name, const QString& value) { m_variables.insert(name, value); }

    // Runs the program to its end; input is its whole standard input.
    CliResult run(const QStringList& arguments, const QByteArray& input = {}) const;
    // Starts the program with its output discarded and its standard input closed, e.g. to kill it.
    void start(QProcess& process, const QStringList& arguments) const;

private:
    QProcessEnvironment environment() const;

    QTemporaryDir m_tree;
    QProcessEnvironment m_variables;
    bool m_valid = false;
};

} // namespace sw::test
