#pragma once

#include <QList>
#include <QString>

namespace sw {

class LanguageTexts;
struct DescriptionDatabase;
struct ProgramFiles;

// What the user is told of a database that did not load: a message and its box title.
struct DatabaseProblem {
    QString text;
    QString title;
};

// Loads the search index and the current language's description file from the program folder.
// When the index or every description file is missing, gives that one problem and leaves the tables
// empty; else one "Error: <reason>" for each file that could not be loaded.
QList<DatabaseProblem> loadDescriptionDatabase(const ProgramFiles& files, const LanguageTexts& texts,
                                               DescriptionDatabase& database);

} // namespace sw
