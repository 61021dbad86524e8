#include "prefix_settings.h"

#include "base/program_files.h"
#include "prefixes/prefix_finder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSettings>

namespace sw {

namespace {

const QString kAddedKey = QStringLiteral("Prefixes/Added");
const QString kLastUsedKey = QStringLiteral("Prefixes/LastUsed");

// The settings file the language setting lives in (~/.config/Tidyra/Tidyra.conf).
QSettings userSettings() {
    return QSettings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
}

} // namespace

QStringList addedPrefixFolders() {
    return userSettings().value(kAddedKey).toStringList();
}

void rememberAddedPrefix(const QString& folder) {
    QSettings settings = userSettings();
    QStringList added = settings.value(kAddedKey).toStringList();
    if (added.contains(folder))
        return;
    added << folder;
    settings.setValue(kAddedKey, added);
}

QString lastUsedPrefix() {
    return userSettings().value(kLastUsedKey).toString();
}

void rememberLastUsedPrefix(const QString& folder) {
    userSettings().setValue(kLastUsedKey, folder);
}

PrefixSearchPlaces userPrefixSearchPlaces() {
    return {QDir::homePath(), QProcessEnvironment::systemEnvironment().value(QStringLiteral("WINEPREFIX")),
            addedPrefixFolders()};
}

QString demoPrefixFolder(const ProgramFiles& files) {
    // The build tree: build/StartWarden/Program and build/demo-prefix. An installed program has none.
    const QDir build(QDir::cleanPath(files.programFolder + QStringLiteral("/../..")));
    const QString folder = build.filePath(QStringLiteral("demo-prefix"));
    return build.exists(QStringLiteral("CMakeCache.txt")) && looksLikePrefix(folder) ? folder : QString();
}

QString prefixNameOf(const QString& folder, const std::vector<FoundPrefix>& found) {
    const QString path = QFileInfo(folder).canonicalFilePath();
    for (const FoundPrefix& prefix : found)
        if (prefix.path == path)
            return prefix.name;
    return QFileInfo(folder).fileName();
}

} // namespace sw
