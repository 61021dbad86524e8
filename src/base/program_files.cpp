#include "program_files.h"

#include "platform/language_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace sw {

QString ProgramFiles::defaultLanguageFile() const {
    return programFolder + QStringLiteral("/../Data/Languages/english.lng");
}

QString ProgramFiles::helpFile(const QString& name) const {
    if (name.isEmpty())
        return {};
    const QString helpFolder = QDir(programFolder + QStringLiteral("/../Help")).canonicalPath();
    if (helpFolder.isEmpty())
        return {};
    const QFileInfo file(helpFolder + QLatin1Char('/') + name);
    const QString canonical = file.canonicalFilePath();
    if (canonical.isEmpty() || !file.isFile() || !canonical.startsWith(helpFolder + QLatin1Char('/')))
        return {};
    return canonical;
}

QString ProgramFiles::dataFolder() const {
    if (prefixFolder.isEmpty())
        return {};
    return prefixFolder + QLatin1Char('/') + QLatin1String(kRecordsFolderName);
}

QStringList ProgramFiles::sharedDataFolders() const {
    QStringList folders;
    for (const QString& folder :
         {programFolder, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/Tidyra/StartWarden")}) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && !folders.contains(canonical) &&
            QFileInfo(canonical + QStringLiteral("/Backups")).isDir())
            folders.append(canonical);
    }
    return folders;
}

QString ProgramFiles::checkList() const {
    const QString folder = dataFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/Check.dat");
}

QString ProgramFiles::searchIndex() const {
    return programFolder + QStringLiteral("/Search.dat");
}

QString ProgramFiles::descriptionFile(const QString& name) const {
    return programFolder + QLatin1Char('/') + name;
}

void loadUserLanguage(LanguageTexts& texts, const ProgramFiles& files) {
    texts.setProgramName(QStringLiteral("StartWarden"));
    texts.loadLanguage(languageSetting(files.defaultLanguageFile()));
}

} // namespace sw
