#pragma once

#include <QString>

namespace sw {

// The files the program finds relative to its own folder (the folder of the executable).
struct ProgramFiles {
    QString programFolder;

    QString defaultLanguageFile() const;
    // The help file of that name in the Help folder beside the program folder, or an empty text
    // when it is missing or its name leads out of the Help folder.
    QString helpFile(const QString& name) const;
    // Where the program keeps its own writable files (the check list, the backups): the program
    // folder of a portable tree, else (an install the user cannot write to) the per-user data
    // folder. Created when missing.
    QString dataFolder() const;
    QString checkList() const;
    QString searchIndex() const;
    QString descriptionFile(const QString& name) const;
};

class LanguageTexts;

// Names the program and loads the language the user chose (the "Language" setting, else English
// beside the program).
void loadUserLanguage(LanguageTexts& texts, const ProgramFiles& files);

} // namespace sw
