#include "check_list.h"

#include <QFile>
#include <QSaveFile>

namespace sw {

void applyCheckList(const QString& path, QList<AutostartEntry>& rows) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    for (AutostartEntry& row : rows)
        row.ghosted = true;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFile::NoError)
            break;
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw);
        // A plain scan: the first row with that program, whatever its mark.
        for (AutostartEntry& row : rows) {
            if (row.program.compare(line, Qt::CaseInsensitive) == 0) {
                row.ghosted = false;
                break;
            }
        }
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
