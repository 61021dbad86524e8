#include "demo_prefix.h"

#include "platform/registry_store.h"
#include "platform/system_info.h"
#include "platform/wine/lnk_shortcut_file.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_prefix.h"
#include "platform/wine/wine_system_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>

#include <optional>

namespace sw::demo {

namespace {

const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunOnceKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");

struct Line {
    QString file;
    int number = 0;
    QStringList fields;

    [[noreturn]] void fail(const QString& what) const {
        throw DemoError(QStringLiteral("%1:%2: %3").arg(file).arg(number).arg(what).toStdString());
    }
};

[[noreturn]] void fail(const QString& what) {
    throw DemoError(what.toStdString());
}

// The non-comment lines of a "|"-separated table; the last field keeps any further "|".
QList<Line> readTable(const QString& path, int fieldCount) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QList<Line> lines;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        Line line{path, number, text.split(QLatin1Char('|'))};
        if (line.fields.size() < fieldCount)
            line.fail(QStringLiteral("expected %1 fields separated by \"|\"").arg(fieldCount));
        while (line.fields.size() > fieldCount)
            line.fields[fieldCount - 1] += QLatin1Char('|') + line.fields.takeLast();
        for (QString& field : line.fields)
            field = field.trimmed();
        lines.append(line);
    }
    return lines;
}

struct DemoPlace {
    std::optional<std::int32_t> root; // registry places
    QString keyPath;
    int specialFolder = 0; // Startup folders
};

std::optional<DemoPlace> placeNamed(const QString& name) {
    if (name == QLatin1String("HKCU Run"))
        return DemoPlace{kHkeyCurrentUser, kRunKey};
    if (name == QLatin1String("HKCU RunOnce"))
        return DemoPlace{kHkeyCurrentUser, kRunOnceKey};
    if (name == QLatin1String("HKLM Run"))
        return DemoPlace{kHkeyLocalMachine, kRunKey};
    if (name == QLatin1String("HKLM RunOnce"))
        return DemoPlace{kHkeyLocalMachine, kRunOnceKey};
    // A 32-bit program's machine-wide entries, and what Wine's boot starts as services.
    const QString wow = QStringLiteral("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\");
    if (name == QLatin1String("HKLM Run 32-bit"))
        return DemoPlace{kHkeyLocalMachine, wow + QLatin1String("Run")};
    if (name == QLatin1String("HKLM RunOnce 32-bit"))
        return DemoPlace{kHkeyLocalMachine, wow + QLatin1String("RunOnce")};
    if (name == QLatin1String("HKLM RunServices"))
        return DemoPlace{kHkeyLocalMachine, kRunKey + QLatin1String("Services")};
    if (name == QLatin1String("HKLM RunServicesOnce"))
        return DemoPlace{kHkeyLocalMachine, kRunKey + QLatin1String("ServicesOnce")};
    if (name == QLatin1String("User Startup"))
        return DemoPlace{std::nullopt, {}, kCsidlStartup};
    if (name == QLatin1String("Common Startup"))
        return DemoPlace{std::nullopt, {}, kCsidlCommonStartup};
    return std::nullopt;
}

void emptyFolder(const QString& folder) {
    QDir dir(folder);
    if (dir.exists()) {
        const bool empty = dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (!empty && !QFileInfo(dir.filePath(QStringLiteral("system.reg"))).isFile())
            fail(QStringLiteral("%1 holds files but is no prefix; not replacing it").arg(folder));
        // Symlinks (dosdevices/c:) are removed, not followed.
        if (!dir.removeRecursively())
            fail(QStringLiteral("cannot empty %1").arg(folder));
    }
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("cannot create %1").arg(folder));
}

void writeHostFile(const QString& host, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(host).absolutePath());
    QFile file(host);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1: %2").arg(host, file.errorString()));
}

// Files copied from a read-only checkout stay writable, so the next run can remove them.
void copyHostFile(const QString& source, const QString& target) {
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    if (!QFile::copy(source, target))
        fail(QStringLiteral("cannot copy %1 to %2").arg(source, target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

// A link that names no file, as one to a shell object such as the Control Panel: the header and a
// description only. The shortcut writer needs a target, so this one is put together here.
QByteArray targetlessLink(const QString& description) {
    QByteArray bytes(76, '\0');
    const auto put32 = [&bytes](int offset, std::uint32_t value) {
        qToLittleEndian(value, bytes.data() + offset);
    };
    put32(0, 0x4C);
    const char clsid[16] = {0x01,       0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                            char(0xC0), 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    bytes.replace(4, 16, clsid, 16);
    const std::uint32_t hasName = 0x04, isUnicode = 0x80;
    put32(20, hasName | isUnicode);
    put32(60, 1); // show normal
    const std::u16string text = description.toStdU16String();
    char count[2];
    qToLittleEndian(std::uint16_t(text.size()), count);
    bytes.append(count, 2);
    for (char16_t unit : text) {
        char pair[2];
        qToLittleEndian(std::uint16_t(unit), pair);
        bytes.append(pair, 2);
    }
    bytes.append(4, '\0'); // terminal extra-data block
    return bytes;
}

void copyRegistry(const QString& sourceFolder, const QString& prefixFolder) {
    for (const char* name : {"system.reg", "user.reg"})
        copyHostFile(QDir(sourceFolder).filePath(QStringLiteral("registry/") + QLatin1String(name)),
                     QDir(prefixFolder).filePath(QLatin1String(name)));
    const QString problem = WinePrefix(prefixFolder).problem();
    if (!problem.isEmpty())
        fail(problem);
}

void makeDrives(const QString& prefixFolder) {
    QDir prefix(prefixFolder);
    if (!prefix.mkpath(QStringLiteral("drive_c/windows/system32")) ||
        !prefix.mkpath(QStringLiteral("drive_c/windows/temp")) ||
        !prefix.mkpath(QStringLiteral("dosdevices")) ||
        !QFile::link(QStringLiteral("../drive_c"), prefix.filePath(QStringLiteral("dosdevices/c:"))))
        fail(QStringLiteral("cannot lay out the drives of %1").arg(prefixFolder));
}

void copyPrograms(const QString& sourceFolder, const WineFileSystem& files) {
    const QDir source(sourceFolder);
    for (const Line& line : readTable(source.filePath(QStringLiteral("programs.txt")), 2)) {
        const QString host = files.hostPath(line.fields[0]);
        if (host.isEmpty())
            line.fail(QStringLiteral("\"%1\" is no path on drive C:").arg(line.fields[0]));
        if (line.fields[1] == QLatin1String("empty"))
            writeHostFile(host, {});
        else
            copyHostFile(QDir::cleanPath(source.filePath(line.fields[1])), host);
    }
}

void writeEntries(const QString& sourceFolder, const QString& prefixFolder, WineFileSystem& files) {
    const auto newStore = [prefixFolder]() -> std::unique_ptr<RegistryStore> {
        return std::make_unique<WineRegistryStore>(prefixFolder);
    };
    // The folders come from the registry just written, found as the program finds them.
    const WineSystemInfo system(prefixFolder, newStore);
    WineRegistryStore store(prefixFolder);
    LnkShortcutFile shortcuts([&files](const QString& path) { return files.hostPath(path); });
    QSet<QString> seen;

    for (const Line& line : readTable(QDir(sourceFolder).filePath(QStringLiteral("entries.txt")), 4)) {
        const std::optional<DemoPlace> place = placeNamed(line.fields[0]);
        if (!place)
            line.fail(QStringLiteral("unknown place \"%1\"").arg(line.fields[0]));
        const QString& state = line.fields[1];
        if (state != QLatin1String("active") && state != QLatin1String("inactive"))
            line.fail(QStringLiteral("the state is \"active\" or \"inactive\", not \"%1\"").arg(state));
        const bool active = state == QLatin1String("active");
        const QString& name = line.fields[2];
        const QString& data = line.fields[3];
        if (name.isEmpty())
            line.fail(QStringLiteral("an entry needs a name"));
        // A second entry of that name would silently replace the first.
        const QString key = line.fields[0] + QLatin1Char('|') + name.toLower();
        if (seen.contains(key))
            line.fail(QStringLiteral("\"%1\" is already in %2").arg(name, line.fields[0]));
        seen.insert(key);

        try {
            if (place->root) {
                store.createKey(*place->root, place->keyPath);
                store.writeStringValue(*place->root, place->keyPath, name,
                                       active ? data : QStringLiteral("REM ") + data);
                continue;
            }
            const QString folder = system.getSpecialFolder(place->specialFolder, true, true);
            if (folder.isEmpty())
                line.fail(QStringLiteral("the registry names no usable folder for %1").arg(line.fields[0]));
            const QString path = folder + QLatin1Char('\\') + name;
            if (!name.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive)) {
                QString content = data;
                content.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
                writeHostFile(files.hostPath(path), content.toUtf8());
            } else if (data.isEmpty()) {
                writeHostFile(files.hostPath(path), targetlessLink(QFileInfo(name).completeBaseName()));
            } else {
                ShortcutInfo info;
                info.target = data;
                info.workingPath = data;
                shortcuts.createShortcut(path, info);
            }
            if (!active) {
                FileAttributes hidden;
                hidden.hidden = true;
                files.setAttributes(path, hidden);
            }
        } catch (const DemoError&) {
            throw;
        } catch (const std::exception& error) {
            line.fail(QString::fromLocal8Bit(error.what()));
        }
    }
}

} // namespace

void makeDemoPrefix(const QString& sourceFolder, const QString& prefixFolder) {
    const QString prefix = QDir(prefixFolder).absolutePath();
    emptyFolder(prefix);
    copyRegistry(sourceFolder, prefix);
    makeDrives(prefix);
    WineFileSystem files(prefix);
    copyPrograms(sourceFolder, files);
    writeEntries(sourceFolder, prefix, files);
}

} // namespace sw::demo
