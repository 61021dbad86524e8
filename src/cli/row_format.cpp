#include "row_format.h"

#include "platform/language_texts.h"

#include <QJsonDocument>

namespace sw {

namespace {

QString yesNo(bool value, const LanguageTexts& texts) {
    return texts.getText(value ? QStringLiteral("Yes") : QStringLiteral("No"));
}

// A control character (C0, DEL or, as UTF-8, C1) that a terminal would act on instead of showing.
bool isControlAt(const char* c, const char* end) {
    const auto byte = static_cast<unsigned char>(*c);
    return byte < 0x20 || byte == 0x7f ||
           (byte == 0xc2 && c + 1 != end && static_cast<unsigned char>(c[1]) >= 0x80 &&
            static_cast<unsigned char>(c[1]) <= 0x9f);
}

// Appends the control character at c as "\xHH" (its code point); returns its last byte.
const char* appendEscaped(QByteArray& out, const char* c) {
    unsigned code = static_cast<unsigned char>(*c);
    if (code == 0xc2)
        code = static_cast<unsigned char>(*++c);
    out += "\\x";
    out += QByteArray::number(code, 16).rightJustified(2, '0');
    return c;
}

// Writes each control character from `from` on as "\xHH", so that a name cannot hide or rewrite
// the rest of the output.
void escapeControls(QByteArray& out, qsizetype from) {
    const QByteArray field = out.mid(from);
    out.truncate(from);
    const char* end = field.constData() + field.size();
    for (const char* c = field.constData(); c != end; ++c)
        if (isControlAt(c, end))
            c = appendEscaped(out, c);
        else
            out += *c;
}

} // namespace

QByteArray printableLine(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    const char* end = bytes.constData() + bytes.size();
    // The line breaks and tabs of a message stay; other control characters are shown, not obeyed.
    for (const char* c = bytes.constData(); c != end; ++c)
        if (*c == '\n' || *c == '\t' || !isControlAt(c, end))
            out += *c;
        else
            c = appendEscaped(out, c);
    return out;
}

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
        bool control = false;
        for (char* c = out.data() + from; c != out.data() + out.size(); ++c) {
            if (*c == '\t' || *c == '\r' || *c == '\n')
                *c = ' ';
            else if (isControlAt(c, out.data() + out.size()))
                control = true;
        }
        if (control)
            escapeControls(out, from);
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
