#pragma once

#include <QString>
#include <functional>

namespace sw {

// A later backup of the same name keeps the earlier ones: it gets the name with " (N)" before its
// extension, N counting from 2. A name that already ends so is always numbered, so that taking the
// last " (N)" away gives every backup's original name back, whatever it was.

enum class NameForm {
    File,  // " (N)" goes before the extension: "Tool (2).lnk"
    Value, // " (N)" goes at the end: "Tool (2)"
};

// The name a new backup of `name` gets; `taken` tells whether a name is in use already.
QString freeBackupName(const QString& name, NameForm form, const std::function<bool(const QString&)>& taken);

// The name the entry had before freeBackupName numbered it.
QString originalNameOfBackup(const QString& backupName, NameForm form);

} // namespace sw
