#pragma once

#include <QString>

namespace sw {

class SystemInfo;

// Sentinels that name no file.
inline const QString kNotFound = QStringLiteral("-1");
inline const QString kUnparsable = QStringLiteral("_");

// Replaces "%NAME%" pairs with the managed system's environment values. Names without a value (or
// whose value holds its own pair) stay in the text; the scan moves on past them, so it always ends.
QString ExpandEnvironmentNames(const QString& text, const SystemInfo& system);

// The program file a command line starts: the quoted or first blank-separated part, searched on
// the system's search path when it holds no "\" (trying ".exe" too). "-1" when a bare name was not
// found, "_" when the command line cannot be taken apart.
QString ResolveProgramPath(const QString& commandLine, const SystemInfo& system);

} // namespace sw
