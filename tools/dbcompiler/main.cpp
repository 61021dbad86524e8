// sw-dbcompile: turns the readable database sources (*.db) into Search.dat and Des_*.dat.
#include "db_writer.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

int usage(QTextStream& err) {
    err << "usage: sw-dbcompile --output FOLDER SOURCE.db...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    QString outputDir;
    QStringList sources;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--output" || args[i] == u"-o") {
            if (i + 1 >= args.size())
                return usage(err);
            outputDir = args[++i];
        } else {
            sources.append(args[i]);
        }
    }
    if (outputDir.isEmpty())
        return usage(err);
    if (sources.isEmpty()) {
        err << "sw-dbcompile: no source files given (data/database/*.db is empty?)\n";
        return 1;
    }

    sw::dbcompiler::Diagnostics diagnostics;
    if (!sw::dbcompiler::compileSources(sources, outputDir, diagnostics)) {
        for (const QString& error : diagnostics.errors)
            err << "sw-dbcompile: " << error << '\n';
        err << "sw-dbcompile: " << diagnostics.errors.size() << " error(s), nothing written\n";
        return 1;
    }
    return 0;
}
