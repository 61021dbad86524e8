#include "program_files.h"

#include "platform/language_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace sw {

QString ProgramFiles::defaultLanguageFile() const {
    return languagesFolder() + QStringLiteral("/english.lng");
}

QString ProgramFiles::languagesFolder() const {
    return programFolder + QStringLiteral("/../Data/Languages");
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

QString languageFileOf(const QString& setting, const QString& languagesFolder) {
    const QString chosen = setting.trimmed();
    if (chosen.isEmpty())
        return {};
    if (chosen.contains(QLatin1Char('/')) || chosen.endsWith(QLatin1String(".lng"), Qt::CaseInsensitive))
        return QFileInfo(chosen).isFile() ? chosen : QString();
    const QFileInfoList files =
        QDir(languagesFolder)
            .entryInfoList({QStringLiteral("*.lng")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files)
        if (file.completeBaseName().compare(chosen, Qt::CaseInsensitive) == 0)
            return file.filePath();
    for (const QFileInfo& file : files) {
        LanguageFile language;
        if (readLanguageFile(file.filePath(), language) &&
            language.info.value(QStringLiteral("Language")).compare(chosen, Qt::CaseInsensitive) == 0)
            return file.filePath();
    }
    return {};
}

QString loadUserLanguage(LanguageTexts& texts, const ProgramFiles& files) {
    texts.setProgramName(QStringLiteral("StartWarden"));
    const QString setting = languageSetting(QString());
    const QString file =
        setting.isEmpty() ? files.defaultLanguageFile() : languageFileOf(setting, files.languagesFolder());
    if ((!file.isEmpty() && texts.loadLanguage(file)) || setting.isEmpty())
        return {};
    QString message = texts.getText(QStringLiteral("MsgLanguageNotFound"));
    message.replace(QStringLiteral("%FOLDER%"), QDir::cleanPath(files.languagesFolder()));
    return message.replace(QStringLiteral("%PATH%"), setting);
}

} // namespace sw
