#include "row_format.h"

#include "platform/language_texts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace sw {

namespace {

QString yesNo(bool value, const LanguageTexts& texts) {
    return texts.GetText(value ? QStringLiteral("Yes") : QStringLiteral("No"));
}

QString oneLine(QString field) {
    field.replace(QLatin1Char('\t'), QLatin1Char(' '));
    field.replace(QLatin1Char('\r'), QLatin1Char(' '));
    field.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return field;
}

} // namespace

QByteArray formatRowsAsText(const QList<AutostartEntry>& rows, const LanguageTexts& texts) {
    QByteArray out;
    for (const AutostartEntry& row : rows) {
        const QStringList fields = {row.name,
                                    row.program,
                                    yesNo(row.valid, texts),
                                    yesNo(row.active, texts),
                                    row.placeLabel,
                                    row.tag,
                                    row.ghosted ? QStringLiteral("ghosted") : QString()};
        QStringList cleaned;
        for (const QString& field : fields)
            cleaned << oneLine(field);
        out += cleaned.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    return out;
}

QByteArray formatRowsAsJson(const QList<AutostartEntry>& rows, const LanguageTexts& texts) {
    QJsonArray array;
    for (const AutostartEntry& row : rows) {
        array.append(QJsonObject{
            {"name", row.name},
            {"program", row.program},
            {"valid", yesNo(row.valid, texts)},
            {"active", yesNo(row.active, texts)},
            {"place", row.placeLabel},
            {"tag", row.tag},
            {"ghosted", row.ghosted},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace sw
