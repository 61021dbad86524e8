#pragma once

#include <QString>
#include <QStringList>

namespace sw {

// Splits a Windows command line into arguments as the Windows shell does for a program's argv:
// the program name ends at the next quote or blank without backslash rules; the arguments after
// it follow the quote and backslash rules (2n backslashes and a quote give n backslashes and
// toggle quoting, 2n+1 give n backslashes and a literal quote, three quotes in a row give one).
QStringList splitCommandLine(const QString& commandLine);

} // namespace sw
