#include "prefix_settings.h"

#include "base/program_files.h"
#include "prefixes/prefix_finder.h"

#include <QDir>
#include <QFileInfo>

namespace sw {

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
