// Benchmark of one toggle of a current-user Run entry (user.reg rewritten beside itself and flushed)
// on a prefix whose system.reg is 20 MB and whose user.reg is 2 MB, against `cp` of user.reg followed
// by an fsync of the copy, in one run.
//
// Usage: toggle_bench [--runs=N]
#include "entries/entry_actions.h"
#include "entries/listing.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

// Key sections as Wine writes them until the file has the size asked for.
QByteArray registryFile(const QByteArray& header, qint64 bytes, const QByteArray& keep) {
    QByteArray out = "WINE REGISTRY Version 2\n;; All keys relative to " + header + "\n\n#arch=win64\n";
    out.reserve(bytes + 4096);
    for (int i = 0; out.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i, 16).rightJustified(8, '0');
        out +=
            "\n[Software\\\\Classes\\\\CLSID\\\\{" + n + "-0000-4000-a000-0000" + n +
            "}\\\\InprocServer32] 1796516601\n#time=1dd8517ffda07c0\n@=\"C:\\\\windows\\\\system32\\\\gen" +
            n + ".dll\"\n\"ThreadingModel\"=\"Both\"\n";
        if (i == 1000)
            out += keep; // the Run key in the middle, not at an end
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

double median(QList<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms.isEmpty() ? 0 : ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = 21;
    for (const QString& arg : app.arguments().mid(1))
        if (arg.startsWith(QStringLiteral("--runs=")))
            runs = std::max(1, arg.mid(7).toInt());

    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("prefix"));
    QDir().mkpath(prefix + QStringLiteral("/drive_c"));
    QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:"));
    const QString userReg = prefix + QStringLiteral("/user.reg");
    if (!writeFile(prefix + QStringLiteral("/system.reg"),
                   registryFile("REGISTRY\\\\Machine", 20 * 1024 * 1024, {})) ||
        !writeFile(userReg, registryFile("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000", 2 * 1024 * 1024,
                                         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "
                                         "1796516601\n#time=1dd8517ffda07c0\n\"BenchApp\"=\"C:\\\\Program "
                                         "Files\\\\Bench\\\\app.exe /background\"\n"))) {
        std::fprintf(stderr, "cannot write the prefix in %s\n", qPrintable(dir.path()));
        return 1;
    }

    const sw::Platform platform = sw::makeWinePlatform(prefix);
    sw::LanguageTexts texts;
    const auto row = [&] {
        for (const sw::AutostartEntry& r :
             sw::listRegistryKey({platform, texts}, sw::kHkeyCurrentUser, kRun, QString()))
            if (r.name == QLatin1String("BenchApp"))
                return r;
        return sw::AutostartEntry{};
    };
    const QString copy = dir.filePath(QStringLiteral("copy.reg"));
    QList<double> toggle, copyAndSync;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const sw::AutostartEntry entry = row();
        if (entry.name.isEmpty()) {
            std::fprintf(stderr, "the Run entry is not listed\n");
            return 1;
        }
        timer.start();
        sw::toggleActivation(platform, entry);
        toggle.append(double(timer.nsecsElapsed()) / 1e6);

        QFile::remove(copy);
        timer.start();
        QProcess::execute(QStringLiteral("cp"), {userReg, copy});
        const int fd = ::open(QFile::encodeName(copy).constData(), O_WRONLY);
        if (fd < 0 || ::fsync(fd) != 0)
            return 1;
        ::close(fd);
        copyAndSync.append(double(timer.nsecsElapsed()) / 1e6);
    }

    std::printf("system.reg %.1f MB, user.reg %.1f MB; median of %d runs\n",
                double(QFileInfo(prefix + QStringLiteral("/system.reg")).size()) / 1048576.0,
                double(QFileInfo(userReg).size()) / 1048576.0, runs);
    std::printf("  %-40s %8.2f ms\n", "toggle (rewrite user.reg, fsync)", median(toggle));
    std::printf("  %-40s %8.2f ms\n", "cp user.reg, then fsync the copy", median(copyAndSync));
    std::printf("  ratio toggle / cp+fsync                  %8.2f\n", median(toggle) / median(copyAndSync));
    return 0;
}
