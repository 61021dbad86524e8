#include "wine_file_system.h"

#include "dos_attributes.h"
#include "durable_file.h"
#include "folder_owner.h"
#include "platform/content_hold.h"
#include "sharded_hash.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <optional>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace sw {

namespace {

// Splits a Windows path into its drive letter (lower case) and its components with "." and ".."
// applied. False when it is not an absolute drive path or ".." climbs above the drive's root.
bool splitWindowsPath(QString path, QChar& drive, QStringList& components) {
    if (path.startsWith(QLatin1String("\\\\?\\")) || path.startsWith(QLatin1String("\\??\\")))
        path = path.mid(4);
    if (path.size() < 2 || path.at(1) != QLatin1Char(':') || path.at(0).unicode() > 0x7f ||
        !path.at(0).isLetter())
        return false;
    if (path.size() > 2 && path.at(2) != QLatin1Char('\\') && path.at(2) != QLatin1Char('/'))
        return false; // drive-relative paths depend on a current folder we do not have
    drive = path.at(0).toLower();
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    components.clear();
    const QStringList parts = path.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (components.isEmpty())
                return false;
            components.removeLast();
            continue;
        }
        if (part.contains(QChar(0)))
            return false;
        components.append(part);
    }
    return true;
}

// Where the last name of a Windows path begins, when the text before its backslash names the
// folder that holds it exactly as a look-up of that text would: a plain last name, no "/"
// separators, below a drive's root. Otherwise 0.
qsizetype lastNameAt(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (slash <= 2 || path.contains(QLatin1Char('/')))
        return 0;
    const QStringView name = QStringView(path).mid(slash + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QChar(0)))
        return 0;
    return slash + 1;
}

// Writes go only to the file a managed path names itself: a "." or ".." component (a Startup file
// named "x\..\..\victim.txt" joined to its folder) would reach a file somewhere else. Host
// paths are the program's own, made by itself.
void refuseClimbing(const QString& path) {
    if (path.startsWith(QLatin1Char('/')))
        return;
    const QStringList parts =
        QString(path).replace(QLatin1Char('/'), QLatin1Char('\\')).split(QLatin1Char('\\'));
    for (const QString& part : parts)
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            throw FileSystemError(
                QStringLiteral("The path %1 leads through \"%2\" to another place; nothing there is changed.")
                    .arg(path, part)
                    .toStdString());
}

// A file that stat cannot reach: missing, or behind a folder that may not be searched.
FileSystemError missingOrUnreachable(const QString& path, const QString& host) {
    if (!host.isEmpty() && errno != ENOENT && errno != ENOTDIR)
        return FileSystemError(QStringLiteral("The file %1 cannot be reached: %2.")
                                   .arg(path, QString::fromLocal8Bit(std::strerror(errno)))
                                   .toStdString());
    return FileSystemError(QStringLiteral("The file %1 does not exist.").arg(path).toStdString());
}

// The names of a folder: the exact spellings, and the first spelling of each lower-cased name in
// directory order (the one Wine opens).
struct FolderNames {
    qint64 modified = 0;
    bool listed = false;
    QSet<QString> exact;
    QHash<QString, QString> byLowerName;

    QString find(const QString& name) const {
        return exact.contains(name) ? name : byLowerName.value(name.toLower());
    }
};

// Calls visit(name) for each name in a host folder but "." and "..", in directory order, with
// readdir itself: QDir would look at each entry once more. False when the folder cannot be opened.
template <typename Visit> bool forEachName(const QString& hostFolder, Visit&& visit) {
    DIR* dir = ::opendir(QFile::encodeName(hostFolder).constData());
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            visit(QFile::decodeName(entry->d_name));
    ::closedir(dir);
    return true;
}

FolderNames readFolderNames(const QString& folder, qint64 modified) {
    FolderNames names{modified, false, {}, {}};
    names.listed = forEachName(folder, [&](const QString& name) {
        names.exact.insert(name);
        if (const QString key = name.toLower(); !names.byLowerName.contains(key))
            names.byLowerName.insert(key, name);
    });
    return names;
}

} // namespace

// Folder names are kept while a folder's modification time stays the same. While a listing holds
// the contents, nothing is checked again: folders, resolved paths and attributes are read once.
struct WineFileSystem::State {
    QMutex mutex;
    QHash<QString, FolderNames> folders;
    int holds = 0;
    // In use while held, with locks of their own: a listing's threads ask them thousands of times.
    ShardedHash<std::shared_ptr<const FolderNames>> heldFolders;
    ShardedHash<bool> heldDrives;
    ShardedHash<Resolved> heldPaths;
    ShardedHash<std::optional<FileAttributes>> heldAttributes; // by host path

    void useHeld(bool inUse) {
        heldFolders.setInUse(inUse);
        heldDrives.setInUse(inUse);
        heldPaths.setInUse(inUse);
        heldAttributes.setInUse(inUse);
    }
};

WineFileSystem::WineFileSystem(QString prefixFolder)
    : m_prefix(std::move(prefixFolder)), m_state(std::make_shared<State>()) {}

std::shared_ptr<void> WineFileSystem::holdContents() const {
    auto token = holdContentsOf(m_state, [](State& state) { state.useHeld(false); });
    m_state->useHeld(true);
    return token;
}

WineFileSystem::Resolved WineFileSystem::resolve(const QString& path) const {
    // While a listing holds the contents, a file in a folder resolved before (its siblings'
    // folder) costs one look-up of its own name instead of one per folder on its path.
    if (auto known = m_state->heldPaths.find(path))
        return *known;
    const qsizetype nameAt = lastNameAt(path);
    const QString folder = nameAt > 0 ? path.left(nameAt - 1) : QString();
    Resolved resolved;
    if (const auto known = nameAt > 0 ? m_state->heldPaths.find(folder) : std::nullopt) {
        if (!known->host.isEmpty()) {
            const QString name = path.mid(nameAt);
            const QString found = known->missing ? QString() : findInFolder(known->host, name);
            const QString& spelled = found.isEmpty() ? name : found;
            resolved = {known->host + QLatin1Char('/') + spelled,
                        known->windows + QLatin1Char('\\') + spelled, found.isEmpty()};
        }
    } else {
        std::optional<Resolved> parent;
        resolved = resolveNow(path, nameAt > 0 ? &parent : nullptr);
        if (parent)
            m_state->heldPaths.insert(folder, *parent);
    }
    m_state->heldPaths.insert(path, resolved);
    return resolved;
}

WineFileSystem::Resolved WineFileSystem::resolveNow(const QString& path,
                                                    std::optional<Resolved>* parent) const {
    if (path.startsWith(QLatin1Char('/')))
        return {path, path, false};
    QChar drive;
    QStringList components;
    if (!splitWindowsPath(path, drive, components))
        return {};
    const QString driveName = drive + QLatin1Char(':');
    if (!driveExists(driveName))
        return {};
    // Room for the whole path at once: a listing resolves thousands of them.
    QString host;
    host.reserve(m_prefix.size() + path.size() + 16);
    host += m_prefix + QStringLiteral("/dosdevices/") + driveName;
    QString windows;
    windows.reserve(path.size() + 4);
    windows += drive.toUpper() + QLatin1Char(':');
    bool exists = true;
    for (const QString& component : components) {
        if (parent && &component == &components.constLast() && components.size() > 1)
            *parent = Resolved{host, windows, !exists};
        QString name = component;
        if (exists) {
            const QString found = findInFolder(host, component);
            exists = !found.isEmpty();
            if (exists)
                name = found;
        }
        host += QLatin1Char('/');
        host += name;
        windows += QLatin1Char('\\');
        windows += name;
    }
    if (components.isEmpty())
        windows += QLatin1Char('\\');
    return {host, windows, !exists};
}

bool WineFileSystem::driveExists(const QString& driveName) const {
    if (const auto known = m_state->heldDrives.find(driveName))
        return *known;
    const QString devices = m_prefix + QStringLiteral("/dosdevices");
    const bool exists = findInFolder(devices, driveName) == driveName &&
                        QFileInfo(devices + QLatin1Char('/') + driveName).isDir();
    m_state->heldDrives.insert(driveName, exists);
    return exists;
}

QString WineFileSystem::findInFolder(const QString& folder, const QString& name) const {
    if (const auto names = m_state->heldFolders.find(folder))
        return (*names)->find(name);
    if (m_state->heldFolders.isInUse(folder)) {
        // Read while the other thread of a listing goes on; if it read the folder meanwhile too,
        // both readings are the same.
        const auto names = std::make_shared<const FolderNames>(readFolderNames(folder, 0));
        m_state->heldFolders.insert(folder, names);
        return names->find(name);
    }
    const QString exact = folder + QLatin1Char('/') + name;
    struct stat st;
    if (::lstat(QFile::encodeName(exact).constData(), &st) == 0)
        return name;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return {};
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    QMutexLocker lock(&m_state->mutex);
    FolderNames& names = m_state->folders[folder];
    if (!names.listed || names.modified != modified)
        names = readFolderNames(folder, modified);
    return names.byLowerName.value(name.toLower());
}

QString WineFileSystem::hostPath(const QString& path) const {
    return resolve(path).host;
}

QString WineFileSystem::managedPathOfHostFile(const QString& hostFile) const {
    const QString file = QFileInfo(hostFile).canonicalFilePath();
    if (file.isEmpty())
        return {};
    const QDir devices(m_prefix + QStringLiteral("/dosdevices"));
    QString drive;
    QString driveRoot;
    // Sorted by name, so of two drives on the same folder the first letter wins.
    for (const QString& entry :
         devices.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.size() != 2 || entry.at(1) != QLatin1Char(':') || entry.at(0).unicode() > 0x7f ||
            !entry.at(0).isLetter())
            continue;
        const QString root = QFileInfo(devices.filePath(entry)).canonicalFilePath();
        if (root.isEmpty() || (!drive.isEmpty() && root.size() <= driveRoot.size()))
            continue;
        if (file == root ||
            file.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'))) {
            drive = entry.at(0).toUpper() + QLatin1Char(':');
            driveRoot = root;
        }
    }
    if (drive.isEmpty())
        return {};
    QString rest = file.mid(driveRoot.size());
    if (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    if (rest.contains(QLatin1Char('\\')))
        return {}; // a name Windows cannot spell
    return drive + QLatin1Char('\\') + rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString WineFileSystem::windowsPath(const QString& path) const {
    return resolve(path).windows;
}

bool WineFileSystem::hostAttributes(const QString& hostPath, FileAttributes& out) {
    out = FileAttributes{};
    const QByteArray file = QFile::encodeName(hostPath);
    struct stat st;
    if (::stat(file.constData(), &st) != 0)
        return false;
    const int bits = readDosAttrib(file);
    const QString name = QFileInfo(hostPath).fileName();
    out.directory = S_ISDIR(st.st_mode);
    out.size = static_cast<qint64>(st.st_size);
    out.readOnly = (st.st_mode & 0222) == 0;
    out.system = (bits & kSystemBit) != 0;
    // Wine 8 reports every dot name as hidden, whatever the xattr says.
    out.hidden = (bits & kHiddenBit) != 0 || (name.startsWith(QLatin1Char('.')) &&
                                              name != QLatin1String(".") && name != QLatin1String(".."));
    return true;
}

std::optional<FileAttributes> WineFileSystem::attributes(const QString& path) const {
    const Resolved resolved = resolve(path);
    const QString& host = resolved.host;
    if (host.isEmpty() || resolved.missing) // nothing to ask the disk
        return std::nullopt;
    if (const auto known = m_state->heldAttributes.find(host))
        return *known;
    FileAttributes read;
    const std::optional<FileAttributes> found =
        hostAttributes(host, read) ? std::optional<FileAttributes>(read) : std::nullopt;
    m_state->heldAttributes.insert(host, found);
    return found;
}

void WineFileSystem::setAttributes(const QString& path, const FileAttributes& attributes) {
    refuseClimbing(path);
    const QString host = hostPath(path);
    struct stat st;
    if (host.isEmpty() || ::stat(QFile::encodeName(host).constData(), &st) != 0)
        throw missingOrUnreachable(path, host);
    m_state->heldAttributes.remove(host);
    const int bits = (attributes.hidden ? kHiddenBit : 0) | (attributes.system ? kSystemBit : 0);
    // The xattr needs write access for an ordinary user: write it while the file is writable.
    if (attributes.readOnly) {
        writeDosAttrib(host, bits);
        writeReadOnly(host, st, true);
    } else {
        writeReadOnly(host, st, false);
        writeDosAttrib(host, bits);
    }
}

QList<FolderItem> WineFileSystem::listFolder(const QString& folder) const {
    QList<FolderItem> items;
    const QString host = hostPath(folder);
    if (host.isEmpty())
        return items;
    forEachName(host, [&](const QString& name) {
        FolderItem item{name, {}};
        hostAttributes(host + QLatin1Char('/') + name, item.attributes);
        items.append(item);
    });
    return items;
}

QString WineFileSystem::folderProblem(const QString& folder) const {
    const QString host = hostPath(folder);
    if (host.isEmpty())
        return {};
    DIR* dir = ::opendir(QFile::encodeName(host).constData());
    if (dir) {
        ::closedir(dir);
        return {};
    }
    return errno == ENOENT ? QString() : QString::fromLocal8Bit(std::strerror(errno));
}

QString WineFileSystem::hostPathForWrite(const QString& path) const {
    if (path.startsWith(QLatin1Char('/')))
        return path; // the program's own files
    // A new file's folder must exist; the file itself may not yet.
    const QString host = hostPath(path);
    if (!host.isEmpty())
        return host;
    const int slash = path.lastIndexOf(QLatin1Char('\\'));
    const QString folder = slash > 0 ? hostPath(path.left(slash)) : QString();
    if (folder.isEmpty())
        throw FileSystemError(QStringLiteral("The folder of %1 does not exist.").arg(path).toStdString());
    return folder + QLatin1Char('/') + path.mid(slash + 1);
}

void WineFileSystem::copyFile(const QString& source, const QString& target) {
    refuseClimbing(source);
    refuseClimbing(target);
    const QString from = hostPath(source);
    if (from.isEmpty())
        throw FileSystemError(QStringLiteral("The file %1 does not exist.").arg(source).toStdString());
    // Windows copies keep the hidden and system marks, as the mode keeps read-only.
    copyFileDurably(from, hostPathForWrite(target), {QByteArray(kDosAttribName)});
}

void WineFileSystem::renameFile(const QString& source, const QString& target) {
    const QString from = hostPath(source);
    FileAttributes found;
    if (from.isEmpty() || !hostAttributes(from, found) || found.directory)
        throw FileSystemError(QStringLiteral("The file %1 does not exist.").arg(source).toStdString());
    const int slash = target.lastIndexOf(QLatin1Char('\\'));
    const QString folder = slash > 0 ? hostPath(target.left(slash)) : QString();
    if (folder.isEmpty())
        throw FileSystemError(QStringLiteral("The folder of %1 does not exist.").arg(target).toStdString());
    // The name as given, so that a new spelling of the same name takes effect.
    const QString to = folder + QLatin1Char('/') + target.mid(slash + 1);
    if (to == from)
        return;
    // Wine finds names regardless of case: another file that Wine takes for the target is refused.
    const QString existing = hostPath(target);
    struct stat other {};
    struct stat self {};
    if (!existing.isEmpty() && ::lstat(QFile::encodeName(existing).constData(), &other) == 0 &&
        !(::lstat(QFile::encodeName(from).constData(), &self) == 0 && other.st_dev == self.st_dev &&
          other.st_ino == self.st_ino))
        throw FileSystemError(QStringLiteral("%1 already exists.").arg(target).toStdString());
    const QByteArray fromName = QFile::encodeName(from);
    const QByteArray toName = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, fromName.constData(), AT_FDCWD, toName.constData(), RENAME_NOREPLACE) == 0) {
        syncFolderOf(toName);
        syncFolderOf(fromName);
        return;
    }
    if (errno != EXDEV)
        throw FileSystemError(QStringLiteral("Cannot rename %1 to %2: %3")
                                  .arg(source, target, QString::fromLocal8Bit(std::strerror(errno)))
                                  .toStdString());
    // Another file system: the copy is whole on disk before the original goes.
    copyFileDurably(from, to);
    if (::unlink(fromName.constData()) != 0)
        throw FileSystemError(QStringLiteral("%1 was copied to %2, but cannot be removed: %3")
                                  .arg(source, target, QString::fromLocal8Bit(std::strerror(errno)))
                                  .toStdString());
    syncFolderOf(fromName);
}

void WineFileSystem::removeFile(const QString& path) {
    refuseClimbing(path);
    const QString host = hostPath(path);
    FileAttributes found;
    if (host.isEmpty() || !hostAttributes(host, found))
        throw missingOrUnreachable(path, host);
    if (found.directory)
        throw FileSystemError(QStringLiteral("%1 is a folder, not a file.").arg(path).toStdString());
    // Windows (and Wine) refuse to delete a read-only file.
    if (found.readOnly)
        throw FileSystemError(QStringLiteral("The file %1 is read-only.").arg(path).toStdString());
    const QByteArray name = QFile::encodeName(host);
    if (::unlink(name.constData()) != 0)
        throw FileSystemError(QStringLiteral("Cannot delete %1: %2")
                                  .arg(path, QString::fromLocal8Bit(std::strerror(errno)))
                                  .toStdString());
    syncFolderOf(name);
}

void WineFileSystem::createFolder(const QString& path) {
    refuseClimbing(path);
    const QByteArray name = QFile::encodeName(hostPathForWrite(path));
    if (::mkdir(name.constData(), 0777) == 0)
        takeOwnerOfFolder(name);
    else if (errno != EEXIST)
        throw FileSystemError(QStringLiteral("Cannot create the folder %1: %2")
                                  .arg(path, QString::fromLocal8Bit(std::strerror(errno)))
                                  .toStdString());
}

} // namespace sw
