// sw-dbcompile: turns the readable database sources (*.db) into Search.dat and Des_*.dat.
#include "db_stats.h"
#include "db_writer.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

int usage(QTextStream& err) {
    err << "usage: sw-dbcompile [--stats] [--require-examples] [--output FOLDER] SOURCE.db...\n"
           "  --output FOLDER     write Search.dat and Des_*.dat into FOLDER\n"
           "  --stats             print record counts (by file, by language, links, guards, risks,\n"
           "                      examples)\n"
           "  --require-examples  refuse records that give no example\n"
           "At least one of --output and --stats is needed; the sources are checked either way.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    QString outputDir;
    bool stats = false;
    bool requireExamples = false;
    QStringList sources;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--output" || args[i] == u"-o") {
            if (i + 1 >= args.size())
                return usage(err);
            outputDir = args[++i];
        } else if (args[i] == u"--stats") {
            stats = true;
        } else if (args[i] == u"--require-examples") {
            requireExamples = true;
        } else if (args[i].startsWith(u"-")) {
            return usage(err);
        } else {
            sources.append(args[i]);
        }
    }
    if (outputDir.isEmpty() && !stats)
        return usage(err);
    if (sources.isEmpty()) {
        err << "sw-dbcompile: no source files given (data/database/*.db is empty?)\n";
        return 1;
    }

    using namespace sw::dbcompiler;
    Diagnostics diagnostics;
    const QList<SourceRecord> records = readSources(sources, diagnostics);
    if (requireExamples) {
        for (const SourceRecord& record : records) {
            if (record.examples.isEmpty())
                diagnostics.add(
                    record.fileName, record.line,
                    QStringLiteral("record (file = %1) gives no example").arg(record.filePattern));
        }
    }
    CompiledDatabase compiled;
    bool ok = compileDatabase(records, compiled, diagnostics) && diagnostics.errors.isEmpty();
    if (stats)
        out << coverageReport(records) << Qt::flush;
    if (ok && !outputDir.isEmpty())
        ok = writeDatabase(compiled, outputDir, diagnostics);
    if (!ok) {
        for (const QString& error : diagnostics.errors)
            err << "sw-dbcompile: " << error << '\n';
        err << "sw-dbcompile: " << diagnostics.errors.size() << " error(s)"
            << (outputDir.isEmpty() ? "" : ", nothing written") << '\n';
        return 1;
    }
    return 0;
}
