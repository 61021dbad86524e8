#include "database_check.h"

#include "base/program_files.h"
#include "description_database.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"

#include <QDir>
#include <QFileInfo>

namespace sw {

void loadDescriptionDatabase(const ProgramFiles& files, const LanguageTexts& texts, MessageBoxes& boxes,
                             DescriptionDatabase& database) {
    const QDir folder(files.programFolder);
    const auto anyFile = QDir::Files | QDir::Hidden | QDir::System;
    const bool haveIndex = QFileInfo(files.searchIndex()).isFile();
    const bool haveDescriptions = !folder.entryList({QStringLiteral("Des_*.dat")}, anyFile).isEmpty();
    if (!haveIndex || !haveDescriptions) {
        boxes.show(texts.getText(QStringLiteral("MsgErrSWFileNotFound")), QStringLiteral("File missing"),
                   MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    const qint16 count = loadSearchIndex(files.searchIndex(), database.searchTable, boxes);
    loadDescriptions(files.descriptionFile(texts.getText(QStringLiteral("DesFileLang"))),
                     database.descriptionTable, count, boxes);
}

} // namespace sw
