#pragma once

#include <QString>

class QWidget;

namespace sw {

class DesktopServices;
class LanguageTexts;
struct ProgramFiles;

// The help page of the user's language (the language file's "HelpFile" in the Help folder), or an
// empty text when there is none.
QString userHelpFile(const ProgramFiles& files, const LanguageTexts& texts);

// Makes F1 anywhere in the window (main window or dialog) show the help page in the help window, at
// the section with the id `section` when one is given. Without a help file F1 does nothing.
void bindHelpKey(QWidget* window, DesktopServices& desktop, const QString& helpFile,
                 const QString& section = {});

} // namespace sw
