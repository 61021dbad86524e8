#include "row_format.h"

#include "platform/language_texts.h"

#include <QJsonDocument>

namespace sw {

namespace {

QString yesNo(bool value, const LanguageTexts& texts) {
    return texts.GetText(value ? QStringLiteral("Yes") : QStringLiteral("No"));
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

void appendLine(QByteArray& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += '\t';
        const QString& field = fields[i];
        const qsizetype from = out.size();
        // Most fields are ASCII: copied straight into the line, without a UTF-8 copy of their own.
        out.resize(from + field.size());
        char* to = out.data() + from;
        qsizetype done = 0;
        for (; done < field.size() && field[done].unicode() < 0x80; ++done)
            to[done] = static_cast<char>(field[done].unicode());
        if (done < field.size()) {
            out.truncate(from);
            out += field.toUtf8();
        }
        // In UTF-8 these bytes are never part of a longer character.
        for (char* c = out.data() + from; c != out.data() + out.size(); ++c)
            if (*c == '\t' || *c == '\r' || *c == '\n')
                *c = ' ';
    }
    out += '\n';
}

QByteArray formatLines(const QList<QStringList>& records) {
    QByteArray out;
    for (const QStringList& fields : records)
        appendLine(out, fields);
    return out;
}

QByteArray formatJson(const QJsonArray& records) {
    return QJsonDocument(records).toJson(QJsonDocument::Indented);
}

} // namespace sw
