// Benchmark of listing a large prefix: `startwarden-cli list ALL` on a 20 MB system.reg with 1,000
// values in each Run key of HKCU and HKLM and 500 shortcuts in each Startup folder, against reading
// the same files with `cat`, against `info ALL` (the same rows, each rated against the database
// with its program's version texts) and, when Wine is installed, `wine reg query` of the four keys
// on a running wineserver (a copy of the prefix, since Wine's boot runs and deletes HKLM RunOnce).
//
// Every command is timed in turns with the others, one run of each per round, so that a machine
// whose speed drifts meanwhile slows all of them alike.
//
// The CLI stores the index of a large registry file in the cache folder (here one of the benchmark's
// own), so every run after the first maps it; "first listing" times runs whose cache was emptied
// before each, as after any change to system.reg.
//
// With --fresh it also times a prefix as wineboot makes it (its Run keys nearly empty) whose
// system.reg is padded to 20 MB, against cat of its two registry files, and the process start-up
// alone (--version). --fresh=DIR copies the prefix in DIR instead of running wineboot.
//
// Usage: listing_bench [--runs=N] [--no-wine] [--keep=DIR] [--fresh[=DIR]]
#include "platform/wine/shell_link.h"
#include "platform/wine/wine_file_system.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QByteArray kKeyTime = " 1796516601\n#time=1dd8517ffda07c0\n";
const char* const kRun = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run";
const char* const kRunOnce = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\RunOnce";
const int kRunValues = 1000;
const int kShortcuts = 500;
const int kPrograms = 40;
const qint64 kSystemRegBytes = 21 * 1024 * 1024;
const qint64 kFreshSystemRegBytes = 20 * 1000 * 1000;

QByteArray header(bool machine) {
    return QByteArray("WINE REGISTRY Version 2\n;; All keys relative to ") +
           (machine ? "\\\\Machine" : "\\\\User\\\\S-1-5-21-0-0-0-1000") + "\n\n#arch=win64\n";
}

QByteArray section(const QByteArray& path, const QByteArray& values) {
    return "\n[" + path + "]" + kKeyTime + values;
}

QByteArray programPath(int i) {
    return "C:\\\\Program Files\\\\Bench Vendor " + QByteArray::number(i % kPrograms) + "\\\\app" +
           QByteArray::number(i % kPrograms) + ".exe";
}

// A Run key as Wine writes it: names in sorted order; a mix of existing programs, missing ones,
// bare names the search path has to resolve, and "REM " (inactive) entries.
QByteArray runKey(const char* path, const QByteArray& tag) {
    QByteArray values;
    for (int i = 0; i < kRunValues; ++i) {
        const QByteArray name = tag + QByteArray::number(i).rightJustified(4, '0');
        QByteArray data;
        switch (i % 4) {
        case 0:
            data = "\\\"" + programPath(i) + "\\\" /background";
            break;
        case 1:
            data = "C:\\\\Program Files\\\\Gone " + QByteArray::number(i) + "\\\\gone.exe -x";
            break;
        case 2:
            data = "helper" + QByteArray::number(i) + ".exe /tray";
            break;
        default:
            data = "REM " + programPath(i);
            break;
        }
        values += "\"" + name + "\"=\"" + data + "\"\n";
    }
    return section(path, values);
}

// Filler like a used prefix: COM classes with their servers, then vendor settings with numbers and
// wrapped binary data, until the file reaches the size asked for.
QByteArray filler(qint64 bytes) {
    QByteArray out;
    out.reserve(bytes + 4096);
    for (int i = 0; out.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(0x10000000 + i * 7919, 16);
        const QByteArray guid =
            "{" + n + "-" + n.left(4) + "-4" + n.mid(4, 3) + "-a" + n.mid(1, 3) + "-00" + n + "}";
        const QByteArray clsid = "Software\\\\Classes\\\\CLSID\\\\" + guid;
        out += section(clsid, "@=\"Bench Component " + QByteArray::number(i) + "\"\n");
        out += section(clsid + "\\\\InprocServer32", "@=\"C:\\\\windows\\\\system32\\\\comp" +
                                                         QByteArray::number(i % 900) +
                                                         ".dll\"\n\"ThreadingModel\"=\"Both\"\n");
        out += section("Software\\\\Bench Vendor " + QByteArray::number(i % 300) + "\\\\Settings\\\\Item" +
                           QByteArray::number(i),
                       "\"Enabled\"=dword:0000000" + QByteArray::number(i % 2) +
                           "\n\"Window\"=hex:2c,00,00,00,00,00,00,00,01,00,00,00,ff,ff,ff,ff,ff,ff,ff,ff,\\\n"
                           "  ff,ff,ff,ff,ff,ff,ff,ff,4b,00,00,00,4b,00,00,00,cb,03,00,00,1b,03,00,00\n"
                           "\"LastPath\"=\"C:\\\\users\\\\bench\\\\Documents\\\\Item" +
                           QByteArray::number(i) + "\"\n");
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Writes the large prefix; returns the files a listing reads (registry files and shortcuts).
QStringList makePrefix(const QString& prefix) {
    QDir dir(prefix);
    dir.mkpath(QStringLiteral("drive_c/windows/system32"));
    dir.mkpath(QStringLiteral("dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), dir.filePath(QStringLiteral("dosdevices/c:")));

    QByteArray system = header(true) + filler(kSystemRegBytes);
    system += section("Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList",
                      "\"ProgramData\"=str(2):\"%SystemDrive%\\\\ProgramData\"\n");
    system += section("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders",
                      "\"Common StartUp\"=str(2):\"%ProgramData%\\\\Microsoft\\\\Windows\\\\Start "
                      "Menu\\\\Programs\\\\StartUp\"\n");
    system += runKey(kRun, "Machine") + runKey(kRunOnce, "MachineOnce");
    system += section(
        "System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment",
        "\"PATH\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%;%SystemRoot%\\\\system32\\\\wbem\"\n");
    QByteArray user = header(false);
    user +=
        section("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders",
                "\"StartUp\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Start "
                "Menu\\\\Programs\\\\StartUp\"\n");
    user += runKey(kRun, "User") + runKey(kRunOnce, "UserOnce");
    user += section("Volatile Environment", "\"USERPROFILE\"=\"C:\\\\users\\\\bench\"\n");
    QStringList files = {dir.filePath(QStringLiteral("system.reg")),
                         dir.filePath(QStringLiteral("user.reg"))};
    if (!writeFile(files[0], system) || !writeFile(files[1], user))
        return {};

    const QByteArray program = [] {
        QFile file(QStringLiteral(SW_SOURCE_DIR "/tests/fixtures/app_x86_64.exe"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    for (int i = 0; i < kPrograms; ++i)
        writeFile(dir.filePath(QStringLiteral("drive_c/Program Files/Bench Vendor %1/app%1.exe").arg(i)),
                  program);

    sw::WineFileSystem fileSystem(prefix);
    const QStringList folders = {
        QStringLiteral(
            "C:\\users\\bench\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"),
        QStringLiteral("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp")};
    for (const QString& folder : folders) {
        for (int i = 0; i < kShortcuts; ++i) {
            const QString target = i % 2 == 0 ? QString::fromLatin1(programPath(i))
                                                    .replace(QStringLiteral("\\\\"), QStringLiteral("\\"))
                                              : QStringLiteral("C:\\Program Files\\Gone %1\\gone.exe").arg(i);
            const QString link = folder + QStringLiteral("\\Bench Link %1.lnk").arg(i);
            const QString host = dir.filePath(QStringLiteral("drive_c/")) +
                                 link.mid(3).replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (!writeFile(host, sw::buildShellLink(target)))
                return {};
            files.append(host);
            if (i % 5 == 4) {
                sw::FileAttributes hidden;
                hidden.hidden = true;
                fileSystem.setAttributes(link, hidden);
            }
        }
    }
    return files;
}

struct Result {
    double medianMs = 0;
    int exitCode = 0;
};

int runOnce(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
            QByteArray* output = nullptr) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!output)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        return -2;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}

QProcessEnvironment g_environment; // the system's, with the benchmark's own cache folder

// What one timed run does: commands one after the other, after an untimed step.
struct Measure {
    QList<QStringList> commands;
    QProcessEnvironment environment = g_environment;
    std::function<void()> before = {};
};

// The median wall time of each measure over runs rounds, taken in turns (one run of each per
// round), so that a machine whose speed drifts while the benchmark runs slows all of them alike.
QList<Result> timeInTurns(const QList<Measure>& measures, int runs) {
    QList<QList<double>> times(measures.size());
    QList<Result> results(measures.size());
    for (int run = 0; run < runs; ++run) {
        for (qsizetype m = 0; m < measures.size(); ++m) {
            if (measures[m].before)
                measures[m].before();
            QElapsedTimer timer;
            timer.start();
            for (const QStringList& command : measures[m].commands) {
                const int code = runOnce(command.first(), command.mid(1), measures[m].environment);
                if (code != 0)
                    results[m].exitCode = code;
            }
            times[m].append(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    for (qsizetype m = 0; m < measures.size(); ++m) {
        std::sort(times[m].begin(), times[m].end());
        results[m].medianMs = times[m].at(times[m].size() / 2);
    }
    return results;
}

QProcessEnvironment wineEnvironment(const QString& prefix) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
    environment.remove(QStringLiteral("DISPLAY"));
    return environment;
}

// A prefix as wineboot leaves it, its system.reg padded with filler to 20 MB. False when there is
// neither a source folder nor Wine.
bool makeFreshPrefix(const QString& source, const QString& prefix) {
    QDir(prefix).removeRecursively();
    if (!source.isEmpty()) {
        if (runOnce(QStringLiteral("cp"), {QStringLiteral("-a"), source, prefix},
                    QProcessEnvironment::systemEnvironment()) != 0)
            return false;
    } else {
        const QString wineboot = QStandardPaths::findExecutable(QStringLiteral("wineboot"));
        const QString wineserver = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
        if (wineboot.isEmpty() || wineserver.isEmpty())
            return false;
        runOnce(wineboot, {QStringLiteral("-i")}, wineEnvironment(prefix));
        runOnce(wineserver, {QStringLiteral("-w")}, wineEnvironment(prefix));
    }
    QFile system(prefix + QStringLiteral("/system.reg"));
    if (!system.exists() || !system.open(QIODevice::Append))
        return false;
    return system.write(filler(kFreshSystemRegBytes - system.size())) > 0;
}

QString g_cache; // the benchmark's cache folder

void emptyCache() {
    QDir(g_cache).removeRecursively();
}

void benchFresh(const QString& cli, const QString& source, const QString& root, int runs) {
    const QString prefix = root + QStringLiteral("/fresh");
    if (!makeFreshPrefix(source, prefix)) {
        std::printf("\nfresh prefix               (skipped: no --fresh=DIR and no Wine)\n");
        return;
    }
    const QString system = prefix + QStringLiteral("/system.reg");
    const QString user = prefix + QStringLiteral("/user.reg");
    QByteArray listing;
    const QStringList listAll = {cli, QStringLiteral("--prefix"), prefix, QStringLiteral("list"),
                                 QStringLiteral("ALL")};
    runOnce(cli, listAll.mid(1), g_environment, &listing);
    const QList<Result> results = timeInTurns({{{listAll}, g_environment, emptyCache},
                                               {{{cli, QStringLiteral("--version")}}},
                                               {{listAll}},
                                               {{{QStringLiteral("cat"), system, user}}}},
                                              runs);
    const Result &first = results[0], &start = results[1], &list = results[2], &cat = results[3];
    std::printf("\nfresh prefix %s: system.reg %.1f MB, %lld rows; median of %d runs\n", qPrintable(prefix),
                double(QFileInfo(system).size()) / 1e6, static_cast<long long>(listing.count('\n')), runs);
    std::printf("  startwarden-cli --version  %9.1f ms   (the process's own start-up)\n", start.medianMs);
    std::printf("  startwarden-cli list ALL   %9.1f ms\n", list.medianMs);
    std::printf("  first listing (no index)   %9.1f ms\n", first.medianMs);
    std::printf("  cat system.reg user.reg    %9.1f ms   list/cat  = %.1f\n", cat.medianMs,
                list.medianMs / cat.medianMs);
}

qint64 countLines(const QByteArray& text, const QByteArray& start) {
    qint64 count = 0;
    for (const QByteArray& line : text.split('\n'))
        count += line.startsWith(start);
    return count;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // progress shows when the output goes to a file
    int runs = 7;
    bool withWine = true;
    QString keep;
    bool fresh = false;
    QString freshSource;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--runs=")))
            runs = std::max(1, argument.mid(7).toInt());
        else if (argument == QLatin1String("--no-wine"))
            withWine = false;
        else if (argument.startsWith(QLatin1String("--keep=")))
            keep = argument.mid(7);
        else if (argument == QLatin1String("--fresh") || argument.startsWith(QLatin1String("--fresh="))) {
            fresh = true;
            freshSource = argument.mid(8);
        } else {
            std::fprintf(stderr,
                         "usage: listing_bench [--runs=N] [--no-wine] [--keep=DIR] [--fresh[=DIR]]\n");
            return 2;
        }
    }

    QTemporaryDir temporary;
    const QString root = keep.isEmpty() ? temporary.path() : QDir(keep).absolutePath();
    const QString prefix = root + QStringLiteral("/big");
    QDir(prefix).removeRecursively();
    QElapsedTimer setup;
    setup.start();
    const QStringList files = makePrefix(prefix);
    if (files.isEmpty()) {
        std::fprintf(stderr, "listing_bench: cannot write the prefix in %s\n", qPrintable(prefix));
        return 1;
    }
    std::printf("prefix %s: system.reg %.1f MB, user.reg %.2f MB, %lld shortcuts (written in %.1f s)\n",
                qPrintable(prefix), double(QFileInfo(files[0]).size()) / 1e6,
                double(QFileInfo(files[1]).size()) / 1e6, static_cast<long long>(files.size() - 2),
                double(setup.elapsed()) / 1e3);

    g_cache = root + QStringLiteral("/cache");
    g_environment = QProcessEnvironment::systemEnvironment();
    g_environment.insert(QStringLiteral("XDG_CACHE_HOME"), g_cache);
    const QString cli = QStringLiteral(SW_CLI_PATH);
    const QStringList listAll = {cli, QStringLiteral("--prefix"), prefix, QStringLiteral("list"),
                                 QStringLiteral("ALL")};
    QByteArray listing;
    if (runOnce(cli, listAll.mid(1), g_environment, &listing) != 0) {
        std::fprintf(stderr, "listing_bench: %s failed\n", qPrintable(cli));
        return 1;
    }
    std::printf("startwarden-cli lists %lld rows\n", static_cast<long long>(listing.count('\n')));

    QStringList infoAll = listAll;
    infoAll[3] = QStringLiteral("info");
    QList<Measure> measures = {{{listAll}, g_environment, emptyCache},
                               {{listAll}},
                               {{QStringList{QStringLiteral("cat")} + files}},
                               {{infoAll}}};
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    const QString wineserver = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    const bool useWine = withWine && !wine.isEmpty() && !wineserver.isEmpty();
    // Wine boots on a copy: its boot deletes and runs HKLM RunOnce and rewrites the registry files.
    const QString winePrefix = root + QStringLiteral("/big-wine");
    const QProcessEnvironment environment = wineEnvironment(winePrefix);
    double bootSeconds = 0;
    QStringList counts;
    if (useWine) {
        QDir(winePrefix).removeRecursively();
        if (runOnce(QStringLiteral("cp"), {QStringLiteral("-a"), prefix, winePrefix},
                    QProcessEnvironment::systemEnvironment()) != 0) {
            std::fprintf(stderr, "listing_bench: cannot copy the prefix for Wine\n");
            return 1;
        }
        const QStringList keys = {
            QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
            QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"),
            QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
            QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce")};
        QList<QStringList> queries;
        for (const QString& key : keys)
            queries.append({wine, QStringLiteral("reg"), QStringLiteral("query"), key});
        QElapsedTimer boot;
        boot.start();
        runOnce(wineserver, {QStringLiteral("-p")}, environment);
        QByteArray warm;
        runOnce(wine, queries.first().mid(1), environment, &warm); // boots the prefix; not counted
        bootSeconds = double(boot.elapsed()) / 1e3;
        for (const QStringList& query : queries) {
            QByteArray output;
            runOnce(wine, query.mid(1), environment, &output);
            counts.append(QString::number(countLines(output, "    ")));
        }
        measures.append({queries, environment});
    }
    const QList<Result> results = timeInTurns(measures, runs);
    if (useWine) {
        runOnce(wineserver, {QStringLiteral("-k")}, environment);
        runOnce(wineserver, {QStringLiteral("-w")}, environment);
    }
    const Result &first = results[0], &list = results[1], &cat = results[2], &info = results[3];
    std::printf("\nmedian of %d runs, taken in turns\n", runs);
    std::printf("  startwarden-cli list ALL   %9.1f ms\n", list.medianMs);
    std::printf("  first listing (no index)   %9.1f ms\n", first.medianMs);
    std::printf("  cat of the same files      %9.1f ms   list/cat  = %.1f\n", cat.medianMs,
                list.medianMs / cat.medianMs);
    std::printf(
        "  startwarden-cli info ALL   %9.1f ms   info/list = %.1f   (rated against the shipped database)\n",
        info.medianMs, info.medianMs / list.medianMs);
    int exitCode = list.exitCode || first.exitCode || cat.exitCode || info.exitCode;
    if (useWine) {
        const Result& query = results[4];
        std::printf(
            "  wine reg query, 4 keys     %9.1f ms   wine/list = %.1f   (server running; first boot %.1f s "
            "not counted; values seen %s)\n",
            query.medianMs, query.medianMs / list.medianMs, bootSeconds,
            qPrintable(counts.join(QLatin1Char('/'))));
        exitCode = exitCode || query.exitCode;
    } else {
        std::printf("  wine reg query             (skipped: %s)\n",
                    withWine ? "Wine is not installed" : "--no-wine");
    }
    if (fresh)
        benchFresh(cli, freshSource, root, runs);
    return exitCode ? 1 : 0;
}
