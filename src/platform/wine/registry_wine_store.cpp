#include "platform/wine/registry_wine_store.h"

#include "platform/file_system.h"
#include "platform/wine/durable_file.h"
#include "platform/wine/registry_file_io.h"
#include "platform/wine/wine_running.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <optional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw {

namespace {

using namespace winereg;

// The values as Wine loads them: a name that stands twice keeps its first spelling and place and
// its last data. index maps each name's key to its position.
QList<ValueEntry> mergedValues(QByteArrayView buffer, const KeySection& section,
                               QHash<QString, qsizetype>* index = nullptr) {
    QList<ValueEntry> merged;
    QHash<QString, qsizetype> positions;
    for (ValueEntry& v : parseValues(buffer, section)) {
        const QString key = nameKey(v.name);
        if (const auto it = positions.constFind(key); it != positions.cend()) {
            merged[*it].type = v.type;
            merged[*it].data = std::move(v.data);
            continue;
        }
        positions.insert(key, merged.size());
        merged.append(std::move(v));
    }
    if (index)
        *index = std::move(positions);
    return merged;
}

} // namespace

struct WineRegistryStore::SectionCache {
    QString file;
    QString keyPath;
    FileState state;
    SectionRead read = SectionRead::Unreadable;
    QByteArray section;
    bool exists = false;
    // The section's values, parsed on the first read: a listing reads every value of one key.
    std::optional<QList<ValueEntry>> values;
    QHash<QString, qsizetype> index;
};

WineRegistryStore::WineRegistryStore(QString prefixDir) : m_prefixDir(std::move(prefixDir)) {}

bool WineRegistryStore::cachedSection(std::int32_t root, const QString& keyPath, QByteArray& section,
                                      bool& exists, bool& readable) {
    const QString file = filePath(root);
    const QByteArray name = QFile::encodeName(file);
    FileState before;
    const bool statOk = fileState(name, before);
    if (statOk && m_cache && m_cache->file == file && m_cache->state == before &&
        namesEqual(splitKeyPath(m_cache->keyPath).join(QLatin1Char('\\')),
                   splitKeyPath(keyPath).join(QLatin1Char('\\')))) {
        section = m_cache->section;
        exists = m_cache->exists;
        readable = m_cache->read != SectionRead::Unreadable;
        return m_cache->read == SectionRead::Found;
    }
    const SectionRead read = readSection(file, keyPath, section, exists);
    readable = read != SectionRead::Unreadable;
    FileState after;
    if (statOk && fileState(name, after) && after == before)
        m_cache = std::make_shared<SectionCache>(
            SectionCache{file, keyPath, before, read, section, exists, {}, {}});
    else
        m_cache.reset();
    return read == SectionRead::Found;
}

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
    QByteArray section;
    bool exists = false;
    bool readable = false;
    if (!cachedSection(root, keyPath, section, exists, readable))
        return exists; // a key that only holds subkeys has no section
    const auto key = findSection(section, keyPath);
    if (!key)
        return false;
    for (const ValueEntry& v : mergedValues(section, *key)) {
        names.append(v.name);
        kinds.append(v.type);
    }
    return true;
}

std::optional<ValueEntry> WineRegistryStore::readRawValue(std::int32_t root, const QString& keyPath,
                                                          const QString& name) {
    QByteArray section;
    bool exists = false;
    bool readable = false;
    const bool hasSection = cachedSection(root, keyPath, section, exists, readable);
    if (!readable)
        throw RegistryError(
            QStringLiteral("Cannot read %1 as a Wine registry file.").arg(filePath(root)).toStdString());
    if (!hasSection)
        return std::nullopt;
    const auto key = findSection(section, keyPath);
    if (!key)
        return std::nullopt;
    QList<ValueEntry> parsed;
    QHash<QString, qsizetype> parsedIndex;
    const QList<ValueEntry>* values = &parsed;
    const QHash<QString, qsizetype>* index = &parsedIndex;
    if (m_cache && m_cache->read == SectionRead::Found &&
        m_cache->section.constData() == section.constData()) {
        if (!m_cache->values)
            m_cache->values = mergedValues(section, *key, &m_cache->index);
        values = &*m_cache->values;
        index = &m_cache->index;
    } else {
        parsed = mergedValues(section, *key, &parsedIndex);
    }
    const auto it = index->constFind(nameKey(name));
    return it == index->cend() ? std::nullopt : std::optional<ValueEntry>(values->at(*it));
}

QString WineRegistryStore::ReadValue(std::int32_t root, const QString& keyPath, const QString& name,
                                     std::uint32_t /*kind*/) {
    const auto value = readRawValue(root, keyPath, name);
    if (!value)
        throw RegistryError(QStringLiteral("The registry value \"%1\" in %2 does not exist.")
                                .arg(name, keyPath)
                                .toStdString());
    return valueText(value->type, value->data);
}

void WineRegistryStore::CreateKey(std::int32_t root, const QString& keyPath) {
    if (splitKeyPath(keyPath).isEmpty())
        return; // the root always exists
    modify(
        root,
        [&](QByteArrayView current, std::uint64_t filetime) {
            return planCreateKey(current, keyPath, filetime);
        },
        [&](const QByteArray& result) { return keyExists(result, keyPath); });
}

void WineRegistryStore::writeRawValue(std::int32_t root, const QString& keyPath, const QString& name,
                                      std::uint32_t type, const QByteArray& data) {
    modify(
        root,
        [&](QByteArrayView current, std::uint64_t filetime) {
            return planSetValue(current, keyPath, name, type, data, filetime);
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

void WineRegistryStore::CopyValue(std::int32_t sourceRoot, const QString& sourceKeyPath,
                                  const QString& sourceName, std::int32_t targetRoot,
                                  const QString& targetKeyPath, const QString& targetName) {
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
        [&](QByteArrayView current, std::uint64_t filetime) {
            return planDeleteValue(current, keyPath, name, filetime);
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
    std::int32_t root, const std::function<EditPlan(QByteArrayView current, std::uint64_t filetime)>& edit,
    const std::function<bool(const QByteArray& region)>& verify) {
    const QString path = filePath(root);
    m_cache.reset();
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (const QString running = wineRunningOn(m_prefixDir); !running.isEmpty())
            throw RegistryError(running.toStdString());
        // A symlinked file is written through: the link's target is replaced, the link stays.
        const QString target = QFileInfo(path).canonicalFilePath();
        if (target.isEmpty())
            throw RegistryError(
                QStringLiteral("The registry file %1 does not exist.").arg(path).toStdString());
        const QByteArray targetName = QFile::encodeName(target);
        FileState before;
        struct stat st {};
        if (!fileState(targetName, before, &st))
            throw RegistryError(
                QStringLiteral("Cannot examine %1: %2").arg(target, errnoText()).toStdString());
        const FileBytes file(target);
        if (!file.ok())
            throw RegistryError(QStringLiteral("Cannot read %1: %2").arg(target, errnoText()).toStdString());
        const QByteArray& current = file.bytes();
        FileState afterRead;
        if (!fileState(targetName, afterRead) || !(afterRead == before) || current.size() != before.size)
            continue; // changed while reading: read again

        const EditPlan plan = edit(current, currentFileTime());
        if (!plan.changed())
            return;
        // A file without write bits is the prefix owner's "do not change": renaming over it would
        // succeed (always for root), so refuse as Windows refuses a protected key.
        if ((st.st_mode & 0222) == 0)
            throw RegistryError(QStringLiteral("The registry file %1 is read-only; it is not changed.")
                                    .arg(target)
                                    .toStdString());
        const QList<QByteArrayView> pieces = plan.pieces();
        const bool headerKept = hasValidHeader(pieces.first()) || hasValidHeader(plan.result());
        if (!headerKept || !verify(plan.editedRegion()))
            throw RegistryError(
                QStringLiteral("Internal error: the change to %1 did not read back; the file is not changed.")
                    .arg(target)
                    .toStdString());

        // A temporary that a killed write left behind is removed by the next write.
        removeAbandonedTemporaries(targetName);
        std::optional<LockedTemporary> temporary;
        try {
            temporary.emplace(targetName);
        } catch (const FileSystemError& error) {
            throw RegistryError(error.what());
        }
        const int fd = temporary->fd();
        ::fchmod(fd, st.st_mode & 07777);
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // keeping the owner needs privileges; the file stays the writer's
        }
        bool written = true;
        for (QByteArrayView piece : pieces)
            written = written && writeAll(fd, piece);
        if (!written)
            throw RegistryError(QStringLiteral("Cannot write %1: %2").arg(target, errnoText()).toStdString());
        if (m_beforeReplace)
            m_beforeReplace();
        // Re-check just before the rename: a wineserver that started, or a change by someone else.
        FileState beforeRename;
        const QString running = wineRunningOn(m_prefixDir);
        if (!running.isEmpty() || !fileState(targetName, beforeRename) || !(beforeRename == before)) {
            temporary.reset();
            if (!running.isEmpty())
                throw RegistryError(running.toStdString());
            continue;
        }
        try {
            temporary->commitTo(targetName);
        } catch (const FileSystemError& error) {
            throw RegistryError(error.what());
        }
        return;
    }
    throw RegistryError(
        QStringLiteral("%1 kept changing while it was being written; the change was not made.")
            .arg(path)
            .toStdString());
}

} // namespace sw
