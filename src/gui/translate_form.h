#pragma once

class QWidget;
class QObject;
class QString;

namespace sw {

class LanguageTexts;

// The property that names a control's language key; on a window it names the title's key. A
// view's column captions are keyed by the string list property kColumnKeysProperty.
inline constexpr const char* kLanguageKeyProperty = "languageKey";
inline constexpr const char* kToolTipKeyProperty = "toolTipKey";
inline constexpr const char* kColumnKeysProperty = "columnLanguageKeys";

void setLanguageKey(QObject* control, const QString& key);

// Gives every keyed control of the window, its actions and its title the loaded language's texts.
void translateForm(QWidget* window, const LanguageTexts& texts);

} // namespace sw
