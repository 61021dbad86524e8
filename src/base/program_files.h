#pragma once

#include <QString>
#include <QStringList>

namespace sw {

// The folder inside a prefix that holds the program's records of that prefix. Wine reads no autostart
// entry from there, and the records go wherever the prefix is copied or moved.
inline constexpr char kRecordsFolderName[] = "startwarden";

// The files the program finds relative to its own folder (the folder of the executable), and those it
// keeps in the prefix it manages.
struct ProgramFiles {
    explicit ProgramFiles(QString program, QString prefix = {})
        : programFolder(std::move(program)), prefixFolder(std::move(prefix)) {}

    QString programFolder;
    QString prefixFolder; // the managed Wine prefix

    QString defaultLanguageFile() const;
    QString languagesFolder() const;
    // The help file of that name in the Help folder beside the program folder, or an empty text
    // when it is missing or its name leads out of the Help folder.
    QString helpFile(const QString& name) const;
    // Where the program keeps its records of the prefix (the check list, the backups of Startup files):
    // kRecordsFolderName in the prefix folder; empty without a prefix folder. Not created here.
    QString dataFolder() const;
    QString checkList() const;
    // The existing folders where earlier versions kept one check list and one set of Startup backups
    // for every prefix (the program folder when it was writable, else the per-user data folder), the
    // ones that hold a Backups folder. Their backups are still listed, as tied to no prefix.
    QStringList sharedDataFolders() const;
    QString searchIndex() const;
    QString descriptionFile(const QString& name) const;
};

class LanguageTexts;

// The language file a "Language" setting means: a path to a file, or the name of a language, in
// any case: "german" for german.lng in the languages folder, or the file whose [Info] Language is
// that name ("Deutsch"). Empty when there is no such file.
QString languageFileOf(const QString& setting, const QString& languagesFolder);

// Names the program and loads the language the user chose (the "Language" setting, else English
// beside the program). When the chosen language cannot be loaded, English stays and the result says
// so in a sentence for the user; otherwise it is empty.
QString loadUserLanguage(LanguageTexts& texts, const ProgramFiles& files);

} // namespace sw
