#include "backup_names.h"

#include <QRegularExpression>

namespace sw {

namespace {

struct SplitName {
    QString stem;
    QString extension; // with its dot; empty for a value or a name without one
};

// The extension starts at the last dot, unless that dot begins the name (".profile").
SplitName split(const QString& name, NameForm form) {
    const qsizetype dot = form == NameForm::File ? name.lastIndexOf(QLatin1Char('.')) : -1;
    if (dot <= 0)
        return {name, {}};
    return {name.left(dot), name.mid(dot)};
}

// Where the " (N)" (N from 2, no leading zero) that ends a stem begins, or -1.
qsizetype numberAt(const QString& stem) {
    static const QRegularExpression number(QStringLiteral(" \\(([2-9]|[1-9][0-9]+)\\)\\z"));
    const QRegularExpressionMatch match = number.match(stem);
    return match.hasMatch() ? match.capturedStart() : -1;
}

} // namespace

QString freeBackupName(const QString& name, NameForm form, const std::function<bool(const QString&)>& taken) {
    const SplitName parts = split(name, form);
    if (numberAt(parts.stem) < 0 && !taken(name))
        return name;
    for (qint64 n = 2;; ++n) {
        const QString candidate = parts.stem + QStringLiteral(" (%1)").arg(n) + parts.extension;
        if (!taken(candidate))
            return candidate;
    }
}

QString originalNameOfBackup(const QString& backupName, NameForm form) {
    const SplitName parts = split(backupName, form);
    const qsizetype at = numberAt(parts.stem);
    return at < 0 ? backupName : parts.stem.left(at) + parts.extension;
}

} // namespace sw
