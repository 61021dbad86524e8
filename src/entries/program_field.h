#pragma once

#include <QString>

namespace sw {

// Whether a program field names a program whose path holds a blank without enclosing it in quotes,
// so that Windows may start another file (C:\Program.exe) or none. programFile is what the program
// check found for the field (empty when none).
bool lacksQuotes(const QString& programField, const QString& programFile);

} // namespace sw
