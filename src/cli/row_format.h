#pragma once

#include "entries/autostart_entry.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

namespace sw {

class LanguageTexts;

// A row's columns in list order, then its tag and ghosted flag.
QStringList rowFields(const AutostartEntry& row, const LanguageTexts& texts);
// The same as JSON; "valid" and "active" are booleans.
QJsonObject rowObject(const AutostartEntry& row);

// One tab-separated line per record. Tabs and line breaks inside a field become blanks so that
// every record stays one line; other control characters are written as "\xHH" (ESC as "\x1b").
QByteArray formatLines(const QList<QStringList>& records);
void appendLine(QByteArray& out, const QStringList& fields);
QByteArray formatJson(const QJsonArray& records);
// A message for the terminal: its line breaks and tabs kept, other control characters as "\xHH".
QByteArray printableLine(const QString& text);

} // namespace sw
