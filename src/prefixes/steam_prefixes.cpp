// Steam keeps one prefix per game: <library>/steamapps/compatdata/<appid>/pfx, its name in the
// library's appmanifest_<appid>.acf.
#include "config_file.h"
#include "prefix_collector.h"
#include "prefix_readers.h"
#include "vdf_reader.h"

#include <QDir>
#include <QFileInfo>

namespace sw {

namespace {

// The Valve text file at path, or nothing (with a note when it is there but broken).
std::optional<VdfDocument> readVdfFile(const QString& path, PrefixCollector& found) {
    const std::optional<QByteArray> bytes = readConfigFile(path, found.notes());
    if (!bytes)
        return std::nullopt;
    VdfDocument document = readVdf(*bytes);
    if (!document.error.isEmpty()) {
        found.note(path, document.error);
        return std::nullopt;
    }
    return document;
}

// The libraries libraryfolders.vdf lists: blocks with a "path" (today's form) or plain "1" "DIR"
// texts (the older one).
void addListedLibraries(const QString& root, QStringList& libraries, PrefixCollector& found) {
    const std::optional<VdfDocument> document =
        readVdfFile(QDir(root).filePath(QStringLiteral("steamapps/libraryfolders.vdf")), found);
    if (!document)
        return;
    for (const VdfNode& top : document->keys)
        for (const VdfNode& library : top.children) {
            const QString path = library.isBlock ? library.childText(u"path") : library.text;
            bool numbered = false;
            library.key.toInt(&numbered);
            if (numbered && QDir::isAbsolutePath(path))
                libraries.append(path);
        }
}

QString appName(const QString& steamapps, const QString& appId, PrefixCollector& found) {
    const QString manifest = QDir(steamapps).filePath(QStringLiteral("appmanifest_%1.acf").arg(appId));
    if (const std::optional<VdfDocument> document = readVdfFile(manifest, found))
        for (const VdfNode& top : document->keys)
            if (const QString name = top.childText(u"name"); !name.trimmed().isEmpty())
                return name.trimmed();
    return QStringLiteral("Steam app %1").arg(appId);
}

void addLibrary(const QString& library, PrefixCollector& found) {
    const QString steamapps = QDir(library).filePath(QStringLiteral("steamapps"));
    const QDir compatdata(QDir(steamapps).filePath(QStringLiteral("compatdata")));
    for (const QString& appId : compatdata.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString prefix = compatdata.filePath(appId + QStringLiteral("/pfx"));
        // The manifest is read only for a real prefix, and not at all for one already found.
        if (found.wouldAdd(prefix))
            found.add(prefix, appName(steamapps, appId, found), PrefixSource::Steam);
    }
}

} // namespace

void findSteamPrefixes(PrefixCollector& found) {
    QStringList libraries;
    QStringList roots;
    for (const char* home :
         {".steam/steam", ".local/share/Steam", ".var/app/com.valvesoftware.Steam/data/Steam"}) {
        const QString root = found.homePath(QString::fromLatin1(home));
        // ~/.steam/steam is mostly a link to one of the others: each installation is read once.
        const QString canonical = QFileInfo(root).canonicalFilePath();
        if (canonical.isEmpty() && QFileInfo(root).isSymLink())
            found.note(root, QStringLiteral("a symbolic link that leads nowhere or in a loop"));
        if (canonical.isEmpty() || roots.contains(canonical))
            continue;
        roots.append(canonical);
        libraries.append(canonical);
        addListedLibraries(canonical, libraries, found);
    }
    QStringList seen;
    for (const QString& library : std::as_const(libraries)) {
        const QString canonical = QFileInfo(library).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen.append(canonical);
        addLibrary(canonical, found);
    }
}

} // namespace sw
