// Benchmark of the prefix search on a home with 100 Steam prefixes, each a copy of one prefix that
// wineboot made (in a throw-away folder; the demo prefix when Wine is not installed; --template=DIR
// copies DIR), with its app manifest:
//   - finding them in this process, without counting (target: under 50 ms);
//   - `startwarden-cli prefixes` (finding and counting every prefix's entries) against
//     `startwarden-cli list ALL --all-prefixes` (one process listing each) and against listing each
//     in this process (target: `prefixes` at most 3x either).
// Each measure is the median of its runs, taken in turns so that a drifting machine slows all alike.
//
// Usage: prefixes_bench [--runs=N] [--count=N] [--no-wine] [--template=DIR]
#include "entries/entry_lister.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "prefixes/prefix_finder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

bool run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
         QByteArray* out = nullptr, int timeout = 60000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!out)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    const bool ended = process.waitForFinished(timeout);
    if (out)
        *out = process.readAllStandardOutput();
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A prefix as wineboot leaves it, made in folder; false when Wine is missing or failed.
bool wineboot(const QString& folder) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("wineboot"));
    if (program.isEmpty())
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), folder);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
    std::printf("making a prefix with wineboot in %s ...\n", qPrintable(folder));
    std::fflush(stdout);
    const bool made = run(program, {QStringLiteral("-i")}, environment, nullptr, 600000);
    // The registry files are complete once the server has ended.
    run(QStringLiteral("wineserver"), {QStringLiteral("-w")}, environment, nullptr, 600000);
    return made && QFileInfo::exists(folder + QStringLiteral("/system.reg"));
}

// A copy of the prefix whose registry files are its own and whose other files (a wineboot prefix's
// drive_c holds some 700 MB of DLLs) are hard links: a hundred copies fit on any disk, and listing
// reads them alike.
bool copyPrefix(const QString& from, const QString& to) {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!run(QStringLiteral("cp"), {QStringLiteral("-al"), from, to}, environment))
        return false;
    for (const QString& name : QDir(from).entryList({QStringLiteral("*.reg")}, QDir::Files)) {
        const QString copy = to + QLatin1Char('/') + name;
        if (!QFile::remove(copy) || !QFile::copy(from + QLatin1Char('/') + name, copy))
            return false;
    }
    return true;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = 5;
    int count = 100;
    bool useWine = true;
    QString templateFolder;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--runs=")))
            runs = std::max(1, argument.mid(7).toInt());
        else if (argument.startsWith(QLatin1String("--count=")))
            count = std::max(1, argument.mid(8).toInt());
        else if (argument == QLatin1String("--no-wine"))
            useWine = false;
        else if (argument.startsWith(QLatin1String("--template=")))
            templateFolder = argument.mid(11);
    }

    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/prefixes-bench-XXXXXX"));
    const QString home = work.filePath(QStringLiteral("home"));
    QString kind = QStringLiteral("given");
    if (templateFolder.isEmpty()) {
        templateFolder = work.filePath(QStringLiteral("template"));
        kind = QStringLiteral("wineboot");
        if (!useWine || !wineboot(templateFolder)) {
            templateFolder = QStringLiteral(SW_DEMO_PREFIX);
            kind = QStringLiteral("demo");
        }
    }
    if (!QFileInfo::exists(templateFolder + QStringLiteral("/system.reg"))) {
        std::fprintf(stderr, "no prefix to copy at %s\n", qPrintable(templateFolder));
        return 1;
    }
    const QString steamapps = home + QStringLiteral("/.local/share/Steam/steamapps");
    QDir().mkpath(steamapps + QStringLiteral("/compatdata"));
    QDir().mkpath(home + QStringLiteral("/config"));
    for (int i = 0; i < count; ++i) {
        const QString appId = QString::number(200000 + i);
        QFile manifest(steamapps + QStringLiteral("/appmanifest_%1.acf").arg(appId));
        const QString folder = steamapps + QStringLiteral("/compatdata/") + appId;
        if (!QDir().mkpath(folder) || !copyPrefix(templateFolder, folder + QStringLiteral("/pfx")) ||
            !manifest.open(QIODevice::WriteOnly) ||
            manifest.write("\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId.toUtf8() +
                           "\"\n\t\"name\"\t\t\"Bench Game " + appId.toUtf8() + "\"\n}\n") <= 0) {
            std::fprintf(stderr, "could not copy the prefix\n");
            return 1;
        }
    }
    QStringList prefixes;
    for (int i = 0; i < count; ++i)
        prefixes << steamapps + QStringLiteral("/compatdata/%1/pfx").arg(200000 + i);

    // The program's own caches (the registry index) go to the benchmark's folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("WINEPREFIX"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), work.filePath(QStringLiteral("cache")));
    qputenv("XDG_CACHE_HOME", work.filePath(QStringLiteral("cache")).toUtf8());

    QByteArray out;
    run(QStringLiteral(SW_CLI_PATH), {QStringLiteral("prefixes")}, environment, &out);
    std::printf("%d copies of a %s prefix (%s); `prefixes` prints %lld lines, the first:\n%s\n", count,
                qPrintable(kind), qPrintable(templateFolder), static_cast<long long>(out.count('\n')),
                out.left(out.indexOf('\n')).constData());

    sw::LanguageTexts texts;
    std::vector<double> find, prefixesCommand, listAll, inProcess;
    for (int round = 0; round < runs; ++round) {
        QElapsedTimer timer;
        timer.start();
        const sw::PrefixSearch search = sw::findPrefixes({home, {}, {}});
        find.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (int(search.prefixes.size()) != count) {
            std::fprintf(stderr, "found %zu prefixes, not %d\n", search.prefixes.size(), count);
            return 1;
        }
        timer.restart();
        run(QStringLiteral(SW_CLI_PATH), {QStringLiteral("prefixes")}, environment);
        prefixesCommand.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        run(QStringLiteral(SW_CLI_PATH),
            {QStringLiteral("list"), QStringLiteral("ALL"), QStringLiteral("--all-prefixes")}, environment);
        listAll.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        std::size_t rows = 0;
        for (const QString& prefix : std::as_const(prefixes)) {
            const sw::Platform platform = sw::makeWinePlatform(prefix);
            sw::EntryLister lister(platform, texts);
            lister.listNow(QStringLiteral("ALL"));
            rows += lister.rows().size();
        }
        inProcess.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (round == 0)
            std::printf("%zu rows in all\n", rows);
    }
    const double prefixesTime = median(prefixesCommand);
    std::printf("median of %d runs:\n", runs);
    std::printf("  finding %d prefixes, no counts:          %8.1f ms (target < 50 ms)\n", count,
                median(find));
    std::printf("  startwarden-cli prefixes:                 %8.1f ms\n", prefixesTime);
    std::printf("  startwarden-cli list ALL --all-prefixes:  %8.1f ms  (prefixes: %.2fx)\n", median(listAll),
                prefixesTime / median(listAll));
    std::printf("  list ALL of each, in this process:        %8.1f ms  (prefixes: %.2fx; target <= 3x)\n",
                median(inProcess), prefixesTime / median(inProcess));
    return 0;
}
