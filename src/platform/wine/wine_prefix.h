#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace sw {

// The Wine prefix StartWarden manages: the folder and whether it really is a prefix.
class WinePrefix {
public:
    explicit WinePrefix(QString folder) : m_folder(std::move(folder)) {}

    // The prefix folder to use: the explicit one (--prefix), else $WINEPREFIX, else ~/.wine, made
    // absolute as Wine requires.
    static QString chooseFolder(const QString& explicitFolder, const QProcessEnvironment& environment);

    const QString& folder() const { return m_folder; }
    // Empty when the folder is a prefix; otherwise one sentence saying why it is not.
    QString problem() const;
    bool isValid() const { return problem().isEmpty(); }

private:
    QString m_folder;
};

} // namespace sw
