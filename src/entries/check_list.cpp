#include "check_list.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace sw {

void applyCheckList(const QString& path, QList<AutostartEntry>& rows) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    // The first row of each program, case-folded: thousands of lines meet thousands of rows.
    QHash<QString, qsizetype> firstRow;
    firstRow.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        rows[i].ghosted = true;
        const QString program = rows[i].program.toCaseFolded();
        if (!firstRow.contains(program))
            firstRow.insert(program, i);
    }
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFile::NoError)
            break;
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        // The first row with that program, whatever its mark.
        if (const auto it = firstRow.constFind(QString::fromUtf8(raw).toCaseFolded()); it != firstRow.cend())
            rows[*it].ghosted = false;
    }
}

bool writeCheckList(const QString& path, const QList<AutostartEntry>& rows) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const AutostartEntry& row : rows) {
        file.write(row.program.toUtf8());
        file.write("\r\n");
    }
    return file.commit();
}

} // namespace sw
