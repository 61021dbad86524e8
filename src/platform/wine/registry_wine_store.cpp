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

using namespace winereg;

struct WineRegistryStore::KeyValues {
    std::shared_ptr<const RegistryFileIndex> file;
    QString keyPath;
    bool hasSection = false;
    std::optional<bool> exists;       // asked for only when the key has no section
    QList<ValueEntry> values;         // strings cut at kListedDataUnits
    QHash<QString, qsizetype> byName; // nameKey of each value's name
    RegistryFileIndex::Key sections;  // to read a cut value whole
};

WineRegistryStore::WineRegistryStore(QString prefixDir, std::shared_ptr<RegistryFileCache> cache)
    : m_prefixDir(std::move(prefixDir)),
      m_files(cache ? std::move(cache) : std::make_shared<RegistryFileCache>()) {}

std::shared_ptr<WineRegistryStore::KeyValues>
WineRegistryStore::keyValues(std::int32_t root, const QString& keyPath, bool* exists) {
    if (exists)
        *exists = false;
    const auto file = m_files->index(filePath(root));
    if (!file || !file->isRegistry())
        throw RegistryError(
            QStringLiteral("Cannot read %1 as a Wine registry file.").arg(filePath(root)).toStdString());
    if (!m_lastKey || m_lastKey->file != file || m_lastKey->keyPath != keyPath) {
        auto key = std::make_shared<KeyValues>(KeyValues{file, keyPath, false, std::nullopt, {}, {}, {}});
        RegistryFileIndex::Key& sections = key->sections;
        if (!file->key(keyPath, sections))
            throw RegistryError(QStringLiteral("Cannot read %1.").arg(filePath(root)).toStdString());
        key->hasSection = !sections.sections.isEmpty();
        // A listing asks for every value of the key but needs no text whole: one value of 50 MB
        // would otherwise cost seconds and gigabytes in copies of it.
        key->values = mergedValues(sections.bytes, sections.sections, kListedDataUnits);
        for (qsizetype i = 0; i < key->values.size(); ++i)
            key->byName.insert(nameKey(key->values[i].name), i);
        m_lastKey = key;
    }
    if (exists) {
        if (!m_lastKey->exists)
            m_lastKey->exists = m_lastKey->hasSection || file->hasSubkeys(keyPath);
        *exists = *m_lastKey->exists;
    }
    return m_lastKey->hasSection ? m_lastKey : nullptr;
}

bool WineRegistryStore::rootReadable(std::int32_t root) {
    try {
        const auto file = m_files->index(filePath(root));
        return file && file->isRegistry();
    } catch (const RegistryError&) {
        return false;
    }
}

QString WineRegistryStore::filePath(std::int32_t root) const {
    if (root == kHkeyLocalMachine)
        return QDir(m_prefixDir).filePath(QStringLiteral("system.reg"));
    if (root == kHkeyCurrentUser)
        return QDir(m_prefixDir).filePath(QStringLiteral("user.reg"));
    throw RegistryError(QStringLiteral("Unknown registry root %1.").arg(root).toStdString());
}

std::optional<RegistryValueNames> WineRegistryStore::enumerateValues(std::int32_t root,
                                                                     const QString& keyPath) {
    if (root != kHkeyLocalMachine && root != kHkeyCurrentUser)
        return std::nullopt;
    bool exists = false;
    std::shared_ptr<KeyValues> key;
    try {
        key = keyValues(root, keyPath, &exists);
    } catch (const RegistryError&) {
        return std::nullopt;
    }
    if (!key)
        return exists ? std::optional<RegistryValueNames>(RegistryValueNames{}) : std::nullopt;
    RegistryValueNames listed;
    for (const ValueEntry& v : key->values) {
        listed.names.append(v.name);
        listed.kinds.append(v.type);
    }
    return listed;
}

std::optional<ValueEntry> WineRegistryStore::readRawValue(std::int32_t root, const QString& keyPath,
                                                          const QString& name) {
    const std::shared_ptr<KeyValues> key = keyValues(root, keyPath);
    if (!key)
        return std::nullopt;
    const auto it = key->byName.constFind(nameKey(name));
    if (it == key->byName.cend())
        return std::nullopt;
    if (!key->values.at(*it).cut)
        return key->values.at(*it);
    // Read and written whole, never from the listing's cut text.
    for (const ValueEntry& whole : mergedValues(key->sections.bytes, key->sections.sections))
        if (namesEqual(whole.name, name))
            return whole;
    return std::nullopt;
}

QString WineRegistryStore::readValue(std::int32_t root, const QString& keyPath, const QString& name,
                                     std::uint32_t /*kind*/) {
    const auto value = readRawValue(root, keyPath, name);
    if (!value)
        throw RegistryError(QStringLiteral("The registry value \"%1\" in %2 does not exist.")
                                .arg(name, keyPath)
                                .toStdString());
    return valueText(value->type, value->data);
}

QList<RegistryValueText> WineRegistryStore::readValues(std::int32_t root, const QString& keyPath) {
    QList<RegistryValueText> values;
    if (root != kHkeyLocalMachine && root != kHkeyCurrentUser)
        return values;
    std::shared_ptr<KeyValues> key;
    try {
        key = keyValues(root, keyPath);
    } catch (const RegistryError&) {
        return values;
    }
    if (!key)
        return values;
    values.reserve(key->values.size());
    for (const ValueEntry& v : key->values)
        values.append({v.name, valueText(v.type, v.data), v.type});
    return values;
}

void WineRegistryStore::createKey(std::int32_t root, const QString& keyPath) {
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
            for (const ValueEntry& v : mergedValues(result, findSections(result, keyPath)))
                if (namesEqual(v.name, name))
                    return v.type == type && v.data == data;
            return false;
        });
}

void WineRegistryStore::writeStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                                         const QString& data) {
    writeRawValue(root, keyPath, name, kRegSz, stringData(data));
}

void WineRegistryStore::writeTypedStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                                              const QString& data, std::uint32_t type) {
    if (!isTextValueType(type))
        throw RegistryError(QStringLiteral("Registry type %1 holds no text; \"%2\" is not written.")
                                .arg(type)
                                .arg(name)
                                .toStdString());
    // Both string types hold UTF-16LE with the final NUL; Wine writes the expandable one as str(2).
    writeRawValue(root, keyPath, name, type, stringData(data));
}

std::uint32_t WineRegistryStore::valueType(std::int32_t root, const QString& keyPath, const QString& name) {
    const auto value = readRawValue(root, keyPath, name);
    if (!value)
        throw RegistryError(QStringLiteral("The registry value \"%1\" in %2 does not exist.")
                                .arg(name, keyPath)
                                .toStdString());
    return value->type;
}

void WineRegistryStore::copyValue(std::int32_t sourceRoot, const QString& sourceKeyPath,
                                  const QString& sourceName, std::int32_t targetRoot,
                                  const QString& targetKeyPath, const QString& targetName) {
    const auto value = readRawValue(sourceRoot, sourceKeyPath, sourceName);
    if (!value)
        throw RegistryError(QStringLiteral("The registry value \"%1\" in %2 does not exist.")
                                .arg(sourceName, sourceKeyPath)
                                .toStdString());
    writeRawValue(targetRoot, targetKeyPath, targetName, value->type, value->data);
}

void WineRegistryStore::deleteValue(std::int32_t root, const QString& keyPath, const QString& name) {
    modify(
        root,
        [&](QByteArrayView current, std::uint64_t filetime) {
            return planDeleteValue(current, keyPath, name, filetime);
        },
        [&](const QByteArray& result) {
            for (const ValueEntry& v : mergedValues(result, findSections(result, keyPath)))
                if (namesEqual(v.name, name))
                    return false;
            return true;
        });
}

void WineRegistryStore::modify(
    std::int32_t root, const std::function<EditPlan(QByteArrayView current, std::uint64_t filetime)>& edit,
    const std::function<bool(const QByteArray& region)>& verify) {
    const QString path = filePath(root);
    m_lastKey.reset();
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
