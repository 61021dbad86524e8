#include "language_texts.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>

namespace sw {

namespace {

QString unescape(QStringView value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value[++i];
        if (next == QLatin1Char('n'))
            out.append(QLatin1Char('\n'));
        else if (next == QLatin1Char('t'))
            out.append(QLatin1Char('\t'));
        else if (next == QLatin1Char('\\'))
            out.append(QLatin1Char('\\'));
        else
            out.append(c).append(next);
    }
    return out;
}

} // namespace

bool parseLanguageFile(const QByteArray& content, LanguageFile& out) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(content);
    QHash<QString, QString>* section = &out.texts;
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QStringView name = line.mid(1, line.size() - 2).trimmed();
            section = name.compare(QLatin1String("Info"), Qt::CaseInsensitive) == 0 ? &out.info : &out.texts;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        const QString value = unescape(line.mid(equals + 1).trimmed());
        if (!key.isEmpty() && !value.isEmpty())
            section->insert(key, value);
    }
    return !out.texts.isEmpty() || !out.info.isEmpty();
}

bool readLanguageFile(const QString& path, LanguageFile& out) {
    QFile file(path);
    // A language file is small; anything huge is not one of ours.
    constexpr qint64 kMaxSize = 4 * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize)
        return false;
    return parseLanguageFile(file.readAll(), out);
}

LanguageTexts::LanguageTexts() {
    readLanguageFile(QStringLiteral(":/languages/english.lng"), m_english);
}

bool LanguageTexts::loadLanguage(const QString& path) {
    LanguageFile file;
    if (!readLanguageFile(path, file) || file.texts.isEmpty())
        return false;
    m_loaded = std::move(file);
    m_loadedPath = path;
    return true;
}

QString LanguageTexts::getInfo(const QString& name) const {
    if (auto it = m_loaded.info.constFind(name); it != m_loaded.info.cend())
        return *it;
    return m_english.info.value(name);
}

QString LanguageTexts::getText(const QString& key) const {
    if (auto it = m_loaded.texts.constFind(key); it != m_loaded.texts.cend())
        return *it;
    if (auto it = m_english.texts.constFind(key); it != m_english.texts.cend())
        return *it;
    return key;
}

QString LanguageTexts::textForEntry(const QString& key, const QString& entryName) const {
    static const QString placeholder = QStringLiteral("%ENTRY%");
    const QString text = getText(key);
    QString out;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(placeholder); at >= 0; at = text.indexOf(placeholder, from)) {
        out += QStringView(text).mid(from, at - from);
        out += entryName;
        from = at + placeholder.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString languageSetting(const QString& defaultPath) {
    // Native format: ~/.config/Tidyra/Tidyra.conf on Linux.
    const QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
    const QString value = settings.value(QStringLiteral("Settings/Language")).toString();
    return value.isEmpty() ? defaultPath : value;
}

} // namespace sw
