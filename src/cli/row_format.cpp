#include "row_format.h"

#include "platform/language_texts.h"

#include <QJsonDocument>

namespace sw {

namespace {

QString yesNo(bool value, const LanguageTexts& texts) {
    return texts.GetText(value ? QStringLiteral("Yes") : QStringLiteral("No"));
}

QString oneLine(QString field) {
    for (QChar& c : field)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return field;
}

} // namespace

QStringList rowFields(const AutostartEntry& row, const LanguageTexts& texts) {
    return {row.name,
            row.program,
            yesNo(row.valid, texts),
            yesNo(row.active, texts),
            row.placeLabel,
            row.tag,
            row.ghosted ? QStringLiteral("ghosted") : QString()};
}

QJsonObject rowObject(const AutostartEntry& row) {
    return QJsonObject{
        {"name", row.name},        {"program", row.program}, {"valid", row.valid},     {"active", row.active},
        {"place", row.placeLabel}, {"tag", row.tag},         {"ghosted", row.ghosted},
    };
}

QByteArray formatLines(const QList<QStringList>& records) {
    QByteArray out;
    for (const QStringList& fields : records) {
        QStringList cleaned;
        for (const QString& field : fields)
            cleaned << oneLine(field);
        out += cleaned.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    return out;
}

QByteArray formatJson(const QJsonArray& records) {
    return QJsonDocument(records).toJson(QJsonDocument::Indented);
}

} // namespace sw
