#pragma once

#include <QHash>
#include <QString>

namespace sw {

// The texts of one language file: named values ([Info]) and user texts ([Texts]).
struct LanguageFile {
    QHash<QString, QString> info;
    QHash<QString, QString> texts;
};

// Reads the .lng format (UTF-8, "[Section]" headers, "key=value" lines, "#" comments, "\n", "\t"
// and "\\" escapes in values). Lines that are none of these are skipped; a file that cannot be read
// gives false.
bool parseLanguageFile(const QByteArray& content, LanguageFile& out);
bool readLanguageFile(const QString& path, LanguageFile& out);

// Every text the user sees comes from here. A key that the loaded language lacks gives the English
// text built into the program, and failing that the key itself, so no caption is ever empty.
class LanguageTexts {
public:
    LanguageTexts();

    void setProgramName(const QString& name) { m_programName = name; }
    QString programName() const { return m_programName; }

    // Loads a language file; false (and English stays in force) when it cannot be read or holds
    // no texts.
    bool loadLanguage(const QString& path);
    QString getInfo(const QString& name) const;
    QString getText(const QString& key) const;
    // getText with every "%ENTRY%" replaced by the entry's name, which is not scanned again.
    QString textForEntry(const QString& key, const QString& entryName) const;

    QString loadedPath() const { return m_loadedPath; }

private:
    QString m_programName;
    QString m_loadedPath;
    LanguageFile m_loaded;
    LanguageFile m_english;
};

// The language file the user chose: the "Language" setting of section "Settings" of application
// "Tidyra" in the per-user settings, or defaultPath. Only read, never written.
QString languageSetting(const QString& defaultPath);

} // namespace sw
