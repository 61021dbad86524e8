#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sw {

// Where a prefix was found: the tool that made or keeps it.
enum class PrefixSource { Wine, Steam, Lutris, Bottles, Heroic, PlayOnLinux, CrossOver, Added };

// The word the command line prints for a source ("wine", "steam", ..., "added").
QString prefixSourceKey(PrefixSource source);

// A folder that holds system.reg and user.reg, with the name its tool gives it.
struct FoundPrefix {
    QString name;
    PrefixSource source = PrefixSource::Wine;
    QString path; // absolute, symlinks resolved: the same folder found twice is one prefix
};

// A configuration file or folder that was skipped, and why (one sentence, English: it goes to the
// error stream or a log, never into a question).
struct PrefixSearchNote {
    QString file;
    QString reason;
};

struct PrefixSearch {
    std::vector<FoundPrefix> prefixes;
    std::vector<PrefixSearchNote> notes;
};

// Where to look: a home folder (a test's fake home, or the user's), $WINEPREFIX and the folders the
// user added.
struct PrefixSearchPlaces {
    QString home;
    QString winePrefixVariable;
    QStringList addedFolders;
};

// The prefixes whose name equals name, ignoring case.
std::vector<FoundPrefix> prefixesNamed(const std::vector<FoundPrefix>& prefixes, const QString& name);

} // namespace sw
