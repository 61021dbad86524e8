#include "platform/wine/registry_wine_store.h"

#include "platform/wine/wine_running.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

namespace {

using namespace winereg;

// The whole file, memory-mapped where possible (reads touch only the pages they scan).
class MappedFile {
public:
    explicit MappedFile(const QString& path) : m_file(path) {
        if (!m_file.open(QIODevice::ReadOnly))
            return;
        m_ok = true;
        const qint64 size = m_file.size();
        if (size <= 0)
            return;
        if (uchar* map = m_file.map(0, size)) {
            m_view = QByteArrayView(reinterpret_cast<const char*>(map), size);
        } else {
            m_copy = m_file.readAll();
            m_view = QByteArrayView(m_copy);
        }
    }
    bool ok() const { return m_ok; }
    QByteArrayView bytes() const { return m_view; }

private:
    QFile m_file;
    QByteArray m_copy;
    QByteArrayView m_view;
    bool m_ok = false;
};

struct FileState {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const FileState& o) const {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

bool fileState(const QByteArray& path, FileState& state, struct stat* out = nullptr) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return false;
    state = {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    if (out)
        *out = st;
    return true;
}

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Values of a section with names merged case-insensitively (first spelling, first position, last data).
QList<ValueEntry> mergedValues(QByteArrayView buffer, const KeySection& section) {
    QList<ValueEntry> merged;
    for (ValueEntry& v : parseValues(buffer, section)) {
        bool found = false;
        for (ValueEntry& m : merged) {
            if (namesEqual(m.name, v.name)) {
                m.type = v.type;
                m.data = v.data;
                found = true;
                break;
            }
        }
        if (!found)
            merged.append(std::move(v));
    }
    return merged;
}

} // namespace

WineRegistryStore::WineRegistryStore(QString prefixDir) : m_prefixDir(std::move(prefixDir)) {}

QString WineRegistryStore::filePath(std::int32_t root) const {
    if (root == kHkeyLocalMachine)
        return QDir(m_prefixDir).filePath(QStringLiteral("system.reg"));
    if (root == kHkeyCurrentUser)
        return QDir(m_prefixDir).filePath(QStringLiteral("user.reg"));
    throw RegistryError(QStringLiteral("Unknown registry root %1.").arg(root).toStdString());
}

bool WineRegistryStore::EnumerateValues(std::int32_t root, const QString& keyPath, QStringList& names,
                                        QList<std::uint32_t>& kinds) {
    names.clear();
    kinds.clear();
    if (root != kHkeyLocalMachine && root != kHkeyCurrentUser)
        return false;
    MappedFile file(filePath(root));
    if (!file.ok() || !hasValidHeader(file.bytes()))
        return false;
    const auto section = findSection(file.bytes(), keyPath);
    if (!section)
        return keyExists(file.bytes(), keyPath); // a key that only holds subkeys has no section
    for (const ValueEntry& v : mergedValues(file.bytes(), *section)) {
        names.append(v.name);
        kinds.append(v.type);
    }
    return true;
}

std::optional<ValueEntry> WineRegistryStore::readRawValue(std::int32_t root, const QString& keyPath,
                                                          const QString& name) {
    MappedFile file(filePath(root));
    if (!file.ok())
        throw RegistryError(QStringLiteral("Cannot read %1.").arg(filePath(root)).toStdString());
    if (!hasValidHeader(file.bytes()))
        throw RegistryError(QStringLiteral("%1 is not a Wine registry file.").arg(filePath(root)).toStdString());
    const auto section = findSection(file.bytes(), keyPath);
    if (!section)
        return std::nullopt;
    std::optional<ValueEntry> found;
    for (ValueEntry& v : parseValues(file.bytes(), *section))
        if (namesEqual(v.name, name))
            found = std::move(v);
    return found;
}

QString WineRegistryStore::ReadValue(std::int32_t root, const QString& keyPath, const QString& name,
                                     std::uint32_t /*kind*/) {
    const auto value = readRawValue(root, keyPath, name);
    if (!value)
        throw RegistryError(
            QStringLiteral("The registry value \"%1\" in %2 does not exist.").arg(name, keyPath).toStdString());
    return valueText(value->type, value->data);
}

void WineRegistryStore::CreateKey(std::int32_t root, const QString& keyPath) {
    if (splitKeyPath(keyPath).isEmpty())
        return; // the root always exists
    modify(
        root,
        [&](const QByteArray& current, std::uint64_t filetime, bool& changed) {
            return createKey(current, keyPath, filetime, changed);
        },
        [&](const QByteArray& result) { return keyExists(result, keyPath); });
}

void WineRegistryStore::writeRawValue(std::int32_t root, const QString& keyPath, const QString& name,
                                      std::uint32_t type, const QByteArray& data) {
    modify(
        root,
        [&](const QByteArray& current, std::uint64_t filetime, bool& changed) {
            return setValue(current, keyPath, name, type, data, filetime, changed);
        },
        [&](const QByteArray& result) {
            const auto section = findSection(result, keyPath);
            if (!section)
                return false;
            for (const ValueEntry& v : mergedValues(result, *section))
                if (namesEqual(v.name, name))
                    return v.type == type && v.data == data;
            return false;
        });
}

void WineRegistryStore::WriteStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                                         const QString& data) {
    writeRawValue(root, keyPath, name, kRegSz, stringData(data));
}

void WineRegistryStore::CopyValue(std::int32_t sourceRoot, const QString& sourceKeyPath, const QString& sourceName,
                                  std::int32_t targetRoot, const QString& targetKeyPath, const QString& targetName) {
    const auto value = readRawValue(sourceRoot, sourceKeyPath, sourceName);
    if (!value)
        throw RegistryError(QStringLiteral("The registry value \"%1\" in %2 does not exist.")
                                .arg(sourceName, sourceKeyPath)
                                .toStdString());
    writeRawValue(targetRoot, targetKeyPath, targetName, value->type, value->data);
}

void WineRegistryStore::DeleteValue(std::int32_t root, const QString& keyPath, const QString& name) {
    modify(
        root,
        [&](const QByteArray& current, std::uint64_t filetime, bool& changed) {
            return deleteValue(current, keyPath, name, filetime, changed);
        },
        [&](const QByteArray& result) {
            const auto section = findSection(result, keyPath);
            if (!section)
                return true;
            for (const ValueEntry& v : parseValues(result, *section))
                if (namesEqual(v.name, name))
                    return false;
            return true;
        });
}

void WineRegistryStore::modify(
    std::int32_t root,
    const std::function<QByteArray(const QByteArray& current, std::uint64_t filetime, bool& changed)>& edit,
    const std::function<bool(const QByteArray& result)>& verify) {
    const QString path = filePath(root);
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (const QString running = wineRunningOn(m_prefixDir); !running.isEmpty())
            throw RegistryError(running.toStdString());
        // A symlinked file is written through: the link's target is replaced, the link stays.
        const QString target = QFileInfo(path).canonicalFilePath();
        if (target.isEmpty())
            throw RegistryError(QStringLiteral("The registry file %1 does not exist.").arg(path).toStdString());
        const QByteArray targetName = QFile::encodeName(target);
        FileState before;
        struct stat st {};
        if (!fileState(targetName, before, &st))
            throw RegistryError(QStringLiteral("Cannot examine %1: %2").arg(target, errnoText()).toStdString());
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            throw RegistryError(QStringLiteral("Cannot read %1: %2").arg(target, file.errorString()).toStdString());
        const QByteArray current = file.readAll();
        file.close();
        FileState afterRead;
        if (!fileState(targetName, afterRead) || !(afterRead == before) || current.size() != before.size)
            continue; // changed while reading: read again

        bool changed = false;
        const QByteArray result = edit(current, currentFileTime(), changed);
        if (!changed)
            return;
        if (!hasValidHeader(result) || !verify(result))
            throw RegistryError(
                QStringLiteral("Internal error: the change to %1 did not read back; the file is not changed.")
                    .arg(target)
                    .toStdString());

        QByteArray tempName = targetName + ".swtmp-XXXXXX";
        const int fd = ::mkstemp(tempName.data());
        if (fd < 0)
            throw RegistryError(
                QStringLiteral("Cannot create a file beside %1: %2").arg(target, errnoText()).toStdString());
        ::fchmod(fd, st.st_mode & 07777);
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // keeping the owner needs privileges; the file stays the writer's
        }
        const bool written = writeAll(fd, result) && ::fsync(fd) == 0;
        const QString writeError = errnoText();
        ::close(fd);
        if (!written) {
            ::unlink(tempName.constData());
            throw RegistryError(QStringLiteral("Cannot write %1: %2").arg(target, writeError).toStdString());
        }
        if (m_beforeReplace)
            m_beforeReplace();
        // Re-check just before the rename: a wineserver that started, or a change by someone else.
        FileState beforeRename;
        const QString running = wineRunningOn(m_prefixDir);
        if (!running.isEmpty() || !fileState(targetName, beforeRename) || !(beforeRename == before)) {
            ::unlink(tempName.constData());
            if (!running.isEmpty())
                throw RegistryError(running.toStdString());
            continue;
        }
        if (::rename(tempName.constData(), targetName.constData()) != 0) {
            const QString error = errnoText();
            ::unlink(tempName.constData());
            throw RegistryError(QStringLiteral("Cannot replace %1: %2").arg(target, error).toStdString());
        }
        const QByteArray dirName = QFile::encodeName(QFileInfo(target).absolutePath());
        const int dirFd = ::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
        return;
    }
    throw RegistryError(
        QStringLiteral("%1 kept changing while it was being written; the change was not made.").arg(path).toStdString());
}

} // namespace sw
