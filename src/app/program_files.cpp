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
    if (QFileInfo(programFolder).isWritable())
        return programFolder;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Tidyra/StartWarden");
    QDir().mkpath(folder);
    return folder;
}

QString ProgramFiles::checkList() const {
    return dataFolder() + QStringLiteral("/Check.dat");
}

QString ProgramFiles::searchIndex() const {
    return programFolder + QStringLiteral("/Search.dat");
}

QString ProgramFiles::descriptionFile(const QString& name) const {
    return programFolder + QLatin1Char('/') + name;
}

void loadUserLanguage(LanguageTexts& texts, const ProgramFiles& files) {
    texts.SetProgramName(QStringLiteral("StartWarden"));
    texts.LoadLanguage(languageSetting(files.defaultLanguageFile()));
}

} // namespace sw
