// sw-make-demo SOURCE_FOLDER PREFIX_FOLDER: builds the demo prefix from data/demo.
#include "demo_prefix.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: sw-make-demo SOURCE_FOLDER PREFIX_FOLDER\n"
                             "Writes the demo Wine prefix described in SOURCE_FOLDER (data/demo) into "
                             "PREFIX_FOLDER, replacing what is there.\n");
        return 2;
    }
    try {
        sw::demo::makeDemoPrefix(arguments[1], arguments[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sw-make-demo: %s\n", error.what());
        return 1;
    }
    return 0;
}
