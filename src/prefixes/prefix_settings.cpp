#include "prefix_settings.h"

#include <QDir>
#include <QSettings>

namespace sw {

namespace {
const QString kAddedKey = QStringLiteral("Prefixes/Added");
const QString kLastUsedKey = QStringLiteral("Prefixes/LastUsed");

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(folder));
}

// Native format: ~/.config/Tidyra/Tidyra.conf on Linux, as the program's other settings.
QSettings userSettings() {
    return QSettings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
}
} // namespace

QStringList addedPrefixFolders(const QSettings& settings) {
    QStringList folders = settings.value(kAddedKey).toStringList();
    folders.removeAll(QString());
    return folders;
}

QStringList addedPrefixFolders() {
    return addedPrefixFolders(userSettings());
}

void addPrefixFolder(QSettings& settings, const QString& folder) {
    QStringList folders = addedPrefixFolders(settings);
    const QString clean = cleanFolder(folder);
    if (folders.contains(clean))
        return;
    folders.append(clean);
    settings.setValue(kAddedKey, folders);
    settings.sync();
}

void addPrefixFolder(const QString& folder) {
    QSettings settings = userSettings();
    addPrefixFolder(settings, folder);
}

void removePrefixFolder(QSettings& settings, const QString& folder) {
    QStringList folders = addedPrefixFolders(settings);
    if (folders.removeAll(cleanFolder(folder)) == 0)
        return;
    if (folders.isEmpty())
        settings.remove(kAddedKey);
    else
        settings.setValue(kAddedKey, folders);
    settings.sync();
}

void removePrefixFolder(const QString& folder) {
    QSettings settings = userSettings();
    removePrefixFolder(settings, folder);
}

QString lastUsedPrefix() {
    return userSettings().value(kLastUsedKey).toString();
}

void rememberLastUsedPrefix(const QString& folder) {
    userSettings().setValue(kLastUsedKey, folder);
}

PrefixSearchPlaces userPrefixSearchPlaces(const QProcessEnvironment& environment) {
    QString home = environment.value(QStringLiteral("HOME"));
    if (home.isEmpty())
        home = QDir::homePath();
    return {home, environment.value(QStringLiteral("WINEPREFIX")), addedPrefixFolders()};
}

} // namespace sw
