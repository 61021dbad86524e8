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
// The language keys of a control's accessible name (for controls without a caption of their own) and
// of an action's key sequence (in Qt's portable form, "Ctrl+B"); the key is also shown in its tool tip.
inline constexpr const char* kAccessibleNameKeyProperty = "accessibleNameKey";
inline constexpr const char* kShortcutKeyProperty = "shortcutKey";

void setLanguageKey(QObject* control, const QString& key);

// Gives every keyed control of the window, its actions and its title the loaded language's texts. A
// label's buddy without a keyed name is named after the label's caption, as a screen reader reads it.
void translateForm(QWidget* window, const LanguageTexts& texts);

} // namespace sw
