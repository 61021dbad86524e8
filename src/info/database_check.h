#pragma once

namespace sw {

class LanguageTexts;
class MessageBoxes;
struct DescriptionDatabase;
struct ProgramFiles;

// Loads the search index and the current language's description file from the program folder.
// When the index or every description file is missing, says so once and leaves the tables empty.
void loadDescriptionDatabase(const ProgramFiles& files, const LanguageTexts& texts, MessageBoxes& boxes,
                             DescriptionDatabase& database);

} // namespace sw
