// Benchmark of the Wine registry store on a 20 MB system.reg: enumerating and reading the HKLM Run key
// and writing one value, side by side with reading the file once (`cat`), copying it (`cp`) and, when
// Wine is installed, `wine reg query` of the same key on a running wineserver.
//
// Usage: registry_bench [megabytes=20] [--no-wine] [--runs=N]
// With Wine installed the prefix is made by wineboot and its system.reg is padded with generated keys;
// otherwise the whole file is generated.
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_running.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

QProcessEnvironment wineEnv(const QString& prefix) {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("WINEPREFIX"), prefix);
    e.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    e.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("winemenubuilder.exe=d"));
    e.insert(QStringLiteral("DISPLAY"), QString());
    return e;
}

int run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 300000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return -1;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -2;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -3;
}

// Realistic filler sections: COM classes with servers, file types, uninstall entries, services; names
// with escapes and hex data wrapped as Wine wraps it.
QByteArray generatedSections(qint64 bytes, int seed) {
    QByteArray out;
    out.reserve(bytes + 4096);
    int i = 0;
    while (out.size() < bytes) {
        const QByteArray n = QByteArray::number(seed * 10000000 + i, 16).rightJustified(8, '0');
        const QByteArray guid =
            "{" + n + "-" + n.left(4) + "-4" + n.mid(4, 3) + "-a" + n.mid(1, 3) + "-0000" + n + "}";
        switch (i % 4) {
        case 0:
            out += "\n[Software\\\\Classes\\\\CLSID\\\\" + guid +
                   "] 1796516601\n#time=1dd8517ffda07c0\n@=\"Gen Class " + n +
                   "\"\n\n[Software\\\\Classes\\\\CLSID\\\\" + guid +
                   "\\\\InprocServer32] "
                   "1796516601\n#time=1dd8517ffda07c0\n@=\"C:\\\\windows\\\\system32\\\\gen" +
                   n + ".dll\"\n\"ThreadingModel\"=\"Both\"\n";
            break;
        case 1:
            out += "\n[Software\\\\Classes\\\\.gen" + n + "] 1796516601\n#time=1dd8517ffda07c0\n@=\"genfile" +
                   n + "\"\n\"Content Type\"=\"application/x-gen\"\n\"PerceivedType\"=\"document\"\n";
            break;
        case 2:
            out += "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Gen \\x00dcbung " +
                   n + "] 1796516601\n#time=1dd8517ffda07c0\n\"DisplayName\"=\"Gen \\x00e9dition " + n +
                   "\"\n\"EstimatedSize\"=dword:00001234\n\"InstallLocation\"=\"C:\\\\Program Files\\\\Gen " +
                   n + "\\\\\"\n\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\Gen " + n +
                   "\\\\uninst.exe\\\"\"\n";
            break;
        default:
            out += "\n[System\\\\CurrentControlSet\\\\Services\\\\gen" + n +
                   "] 1796516601\n#time=1dd8517ffda07c0\n\"DisplayName\"=\"Gen "
                   "service\"\n\"ImagePath\"=str(2):\"%SystemRoot%\\\\"
                   "system32\\\\drivers\\\\gen" +
                   n +
                   ".sys\"\n\"Start\"=dword:00000003\n\"Type\"=dword:00000001\n\"Blob\"=hex:00,01,02,03,04,"
                   "05,06,07,08,09,"
                   "0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n  "
                   "17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,"
                   "2a,2b,2c,2d,2e,2f\n";
            break;
        }
        ++i;
    }
    return out;
}

struct Timing {
    QList<double> ms;
    void add(double v) { ms.append(v); }
    double median() const {
        QList<double> s = ms;
        std::sort(s.begin(), s.end());
        return s.isEmpty() ? 0 : s[s.size() / 2];
    }
};

template <typename F> Timing measure(int runs, F&& f) {
    Timing t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f(i);
        t.add(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return t;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 megabytes = 20;
    bool useWine = true;
    int runs = 15;
    for (const QString& arg : app.arguments().mid(1)) {
        if (arg == QStringLiteral("--no-wine"))
            useWine = false;
        else if (arg.startsWith(QStringLiteral("--runs=")))
            runs = std::max(1, arg.mid(7).toInt());
        else if (arg.toLongLong() > 0)
            megabytes = arg.toLongLong();
    }
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    const QString wineserver = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    useWine = useWine && !wine.isEmpty() && !wineserver.isEmpty();

    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("prefix"));
    QDir().mkpath(prefix);
    const QString systemReg = prefix + QStringLiteral("/system.reg");
    QByteArray content;
    if (useWine) {
        std::printf("Creating a prefix with wineboot ...\n");
        std::fflush(stdout);
        run(wine, {QStringLiteral("wineboot"), QStringLiteral("-i")}, wineEnv(prefix));
        run(wineserver, {QStringLiteral("-w")}, wineEnv(prefix));
        QFile f(systemReg);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "wineboot made no system.reg\n");
            return 1;
        }
        content = f.readAll();
    } else {
        content = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"
                  "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "
                  "1796516601\n#time=1dd8517ffda07c0\n";
    }
    // Padding on both sides of the Run key's place in the file: generated keys before (Software\Classes)
    // and after (appended), so the Run key sits in the middle as in a large real system.reg.
    const qint64 target = megabytes * 1024 * 1024;
    const qint64 missing = std::max<qint64>(0, target - content.size());
    qsizetype classes = content.indexOf("\n[Software\\\\Classes\\\\");
    if (classes < 0)
        classes = content.indexOf("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run]");
    const QByteArray before = generatedSections(missing / 2, 1);
    const QByteArray after = generatedSections(missing - before.size(), 2);
    if (classes >= 0)
        content.insert(classes, before);
    else
        content.append(before);
    content.append(after);
    {
        QFile f(systemReg);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
            return 1;
    }
    if (!QFile::exists(prefix + QStringLiteral("/user.reg"))) {
        QFile f(prefix + QStringLiteral("/user.reg"));
        if (f.open(QIODevice::WriteOnly))
            f.write("WINE REGISTRY Version 2\n;; All keys relative to "
                    "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n");
    }

    sw::WineRegistryStore store(prefix);
    for (int i = 0; i < 5; ++i)
        store.writeStringValue(sw::kHkeyLocalMachine, kRun, QStringLiteral("BenchApp%1").arg(i),
                               QStringLiteral("C:\\Program Files\\Bench\\app%1.exe /background").arg(i));
    const qint64 size = QFileInfo(systemReg).size();
    std::printf("system.reg: %.1f MB, %lld lines\n", static_cast<double>(size) / 1048576.0,
                static_cast<long long>(content.count('\n')));

    // warm the page cache
    run(QStringLiteral("cat"), {systemReg});

    const Timing cat = measure(runs, [&](int) { run(QStringLiteral("cat"), {systemReg}); });
    const Timing readInProcess = measure(runs, [&](int) {
        QFile f(systemReg);
        f.open(QIODevice::ReadOnly);
        volatile qsizetype n = f.readAll().size();
        (void)n;
    });
    const QString copyTarget = dir.filePath(QStringLiteral("copy.reg"));
    const Timing cp = measure(runs, [&](int) { run(QStringLiteral("cp"), {systemReg, copyTarget}); });
    // cp does not flush; the store does (fsync), so also a copy that flushes
    const Timing copySync = measure(runs, [&](int) {
        run(QStringLiteral("dd"),
            {QStringLiteral("if=") + systemReg, QStringLiteral("of=") + copyTarget, QStringLiteral("bs=4M"),
             QStringLiteral("conv=fsync"), QStringLiteral("status=none")});
    });
    int valueCount = 0;
    const Timing enumerate = measure(runs, [&](int) {
        sw::WineRegistryStore s(prefix);
        valueCount = static_cast<int>(
            s.enumerateValues(sw::kHkeyLocalMachine, kRun).value_or(sw::RegistryValueNames{}).names.size());
    });
    const Timing enumerateAndRead = measure(runs, [&](int) {
        sw::WineRegistryStore s(prefix);
        const sw::RegistryValueNames listed =
            s.enumerateValues(sw::kHkeyLocalMachine, kRun).value_or(sw::RegistryValueNames{});
        for (qsizetype k = 0; k < listed.names.size(); ++k)
            (void)s.readValue(sw::kHkeyLocalMachine, kRun, listed.names[k], listed.kinds[k]);
    });
    const Timing write = measure(runs, [&](int i) {
        sw::WineRegistryStore s(prefix);
        s.writeStringValue(sw::kHkeyLocalMachine, kRun, QStringLiteral("BenchWrite"),
                           QStringLiteral("C:\\bench\\w%1.exe").arg(i));
    });

    std::printf("\nmedian of %d runs (page cache warm)\n", runs);
    std::printf("  %-44s %9.2f ms\n", "cat system.reg > /dev/null", cat.median());
    std::printf("  %-44s %9.2f ms\n", "read system.reg in-process (QFile::readAll)", readInProcess.median());
    std::printf("  %-44s %9.2f ms\n", "cp system.reg", cp.median());
    std::printf("  %-44s %9.2f ms\n", "dd conv=fsync (copy and flush)", copySync.median());
    std::printf("  %-44s %9.2f ms  (%d values)\n", "store: enumerateValues(HKLM Run)", enumerate.median(),
                valueCount);
    std::printf("  %-44s %9.2f ms\n", "store: enumerateValues + readValue of each",
                enumerateAndRead.median());
    std::printf("  %-44s %9.2f ms\n", "store: writeStringValue (with fsync)", write.median());
    std::printf("\nratios\n");
    std::printf("  enumerate / cat                 %6.2f\n", enumerate.median() / cat.median());
    std::printf("  enumerate+read / cat            %6.2f\n", enumerateAndRead.median() / cat.median());
    std::printf("  enumerate+read / in-process read%6.2f\n",
                enumerateAndRead.median() / readInProcess.median());
    std::printf("  write / cp                      %6.2f\n", write.median() / cp.median());
    std::printf("  write / copy with fsync         %6.2f\n", write.median() / copySync.median());

    if (useWine) {
        const QProcessEnvironment env = wineEnv(prefix);
        QElapsedTimer start;
        start.start();
        run(wineserver, {QStringLiteral("-p")}, env);
        const QStringList query{QStringLiteral("reg"), QStringLiteral("query"),
                                QStringLiteral("HKLM\\") + kRun};
        const int first = run(wine, query, env); // starts the session (wineboot --init), loads the files
        const double firstMs = static_cast<double>(start.nsecsElapsed()) / 1e6;
        const bool refused = !sw::wineRunningOn(prefix).isEmpty();
        const Timing reg = measure(runs, [&](int) { run(wine, query, env); });
        run(wineserver, {QStringLiteral("-k")}, env);
        run(wineserver, {QStringLiteral("-w")}, env);
        std::printf("\nwine (wineserver -p running)\n");
        std::printf("  %-44s %9.2f ms (exit %d)\n", "first wine reg query (server start, boot)", firstMs,
                    first);
        std::printf("  %-44s %9.2f ms\n", "wine reg query HKLM Run", reg.median());
        std::printf("  %-44s %9s\n", "store sees the running server", refused ? "yes" : "NO");
        std::printf("  wine reg query / store enumerate+read  %6.1f\n",
                    reg.median() / enumerateAndRead.median());
    } else {
        std::printf("\nwine: not installed or --no-wine; wine reg query skipped\n");
    }
    return 0;
}
