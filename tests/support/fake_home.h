#pragma once

// A home folder laid out as the game launchers leave it, in their own file formats: Steam's VDF
// library list and ACF manifests, Lutris's game YAML and SQLite library, Bottles' bottle.yml,
// Heroic's game JSON and prefix folder, PlayOnLinux's and CrossOver's folders.
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace sw::test {

class FakeHome {
public:
    explicit FakeHome(QString root) : m_root(std::move(root)) {}

    QString path(const QString& relative = {}) const;
    bool writeFile(const QString& relative, const QByteArray& content) const;
    // A minimal prefix: system.reg and user.reg with Wine's header; runValues current-user Run entries.
    bool makePrefix(const QString& relative, int runValues = 0) const;
    bool link(const QString& target, const QString& relative) const;
    // ~/.local/share/lutris/pga.db with a games table holding these (configpath, name) rows.
    bool makeLutrisLibrary(const QList<std::pair<QString, QString>>& games) const;

    // One prefix of every source, two Steam installations (one a link to the other) and three
    // libraries (one listed twice, once through a link). Returns true when everything was written.
    bool fillWithEverySource() const;
    // The prefixes fillWithEverySource made, as "name|source|path relative to the home", in the
    // order the search lists them.
    static QStringList everySourceListing();

private:
    QString m_root;
};

} // namespace sw::test
