#pragma once

namespace sw {

class LanguageTexts;

// Gives Qt's own texts (the buttons of questions, the file chooser) the language of the loaded
// language file, its [Info] Locale ("de"), from Qt's installed translations; a language Qt has no
// translation for keeps them English. Loading another language replaces the earlier one.
void installQtTranslations(const LanguageTexts& texts);

} // namespace sw
