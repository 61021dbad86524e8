#pragma once

#include "entries/autostart_entry.h"

#include <QByteArray>
#include <QList>

namespace sw {

class LanguageTexts;

// One line per row: the columns in list order, then the tag and the ghosted flag, tab-separated.
// Tabs and line breaks inside a field are written as blanks so that every row stays one line.
QByteArray formatRowsAsText(const QList<AutostartEntry>& rows, const LanguageTexts& texts);
// A JSON array of objects with the same fields.
QByteArray formatRowsAsJson(const QList<AutostartEntry>& rows, const LanguageTexts& texts);

} // namespace sw
