#include "database_check.h"

#include "base/program_files.h"
#include "description_database.h"
#include "platform/language_texts.h"

#include <QDir>
#include <QFileInfo>

namespace sw {

QList<DatabaseProblem> loadDescriptionDatabase(const ProgramFiles& files, const LanguageTexts& texts,
                                               DescriptionDatabase& database) {
    const QDir folder(files.programFolder);
    const auto anyFile = QDir::Files | QDir::Hidden | QDir::System;
    const bool haveIndex = QFileInfo(files.searchIndex()).isFile();
    const bool haveDescriptions = !folder.entryList({QStringLiteral("Des_*.dat")}, anyFile).isEmpty();
    if (!haveIndex || !haveDescriptions)
        return {{texts.getText(QStringLiteral("MsgErrSWFileNotFound")), QStringLiteral("File missing")}};
    QList<DatabaseProblem> problems;
    const auto tell = [&problems](const QString& error) {
        if (!error.isEmpty())
            problems.append({QStringLiteral("Error: ") + error, QStringLiteral("Error")});
    };
    const DatabaseLoad index = loadSearchIndex(files.searchIndex(), database.searchTable);
    tell(index.error);
    tell(loadDescriptions(files.descriptionFile(texts.getText(QStringLiteral("DesFileLang"))),
                          database.descriptionTable, index.count));
    return problems;
}

} // namespace sw
