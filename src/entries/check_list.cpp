#include "check_list.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace sw {

std::optional<QStringList> readCheckList(const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFile::NoError)
            break;
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        lines.append(QString::fromUtf8(raw));
    }
    return lines;
}

void applyCheckList(const QStringList& lines, QList<AutostartEntry>& rows) {
    // The rows of each program, case-folded, in list order: thousands of lines meet thousands of rows.
    QHash<QString, QList<qsizetype>> rowsOf;
    rowsOf.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        rows[i].ghosted = true;
        rowsOf[rows[i].program.toCaseFolded()].append(i);
    }
    QHash<QString, qsizetype> used; // lines of each program met so far
    for (const QString& line : lines) {
        const QString program = line.toCaseFolded();
        const auto it = rowsOf.constFind(program);
        if (it == rowsOf.cend())
            continue;
        qsizetype& next = used[program];
        if (next < it->size())
            rows[it->at(next++)].ghosted = false;
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
