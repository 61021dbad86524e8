#pragma once

#include "db_source.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace sw::dbcompiler {

// The bytes of Search.dat and of one Des_<Language>.dat per language, keyed by file name.
struct CompiledDatabase {
    QByteArray searchIndex;
    QMap<QString, QByteArray> descriptionFiles;
};

// "Des_English.dat" for "en" and so on; empty for a code the table does not know.
QString descriptionFileName(const QString& languageCode);

// Checks what needs all records at once (languages, sizes, count) and lays the files out.
// Returns false, with every problem in `diagnostics`, when any file would be wrong.
bool compileDatabase(const QList<SourceRecord>& records, CompiledDatabase& out, Diagnostics& diagnostics);

// Reads the sources in file-name order and checks the records against each other (see
// checkRecords) and their examples (see checkExamples); problems go to `diagnostics`, the records
// read are returned either way.
QList<SourceRecord> readSources(const QStringList& sourcePaths, Diagnostics& diagnostics);

// Writes Search.dat and the Des_*.dat files into `outputDir`, creating it if needed.
bool writeDatabase(const CompiledDatabase& compiled, const QString& outputDir, Diagnostics& diagnostics);

// Reads and checks the sources, compiles them and writes the files into `outputDir`.
// Writes nothing unless the whole database compiles.
bool compileSources(const QStringList& sourcePaths, const QString& outputDir, Diagnostics& diagnostics);

} // namespace sw::dbcompiler
