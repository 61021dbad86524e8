#pragma once

#include "platform/registry_store.h"
#include "platform/wine/registry_file_index.h"
#include "platform/wine/registry_text.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace sw {

// The registry store of a Wine prefix: HKEY_LOCAL_MACHINE is <prefix>/system.reg, HKEY_CURRENT_USER is
// <prefix>/user.reg, read and written directly in Wine's format (platform.md "Registry store").
// Reads go through an index of the file's key sections (shared by the stores of one platform and
// rebuilt when the file changes); a key written in several sections is read and edited as the one
// key Wine makes of them. Writes change only the lines of the affected key, go to a new file beside the old
// one (fsync, rename; a symlink is written through) and are refused while a wineserver holds the prefix or
// when the file is not a Wine registry.
class WineRegistryStore : public RegistryStore {
public:
    // Stores that share a cache read each unchanged file once.
    explicit WineRegistryStore(QString prefixDir,
                               std::shared_ptr<winereg::RegistryFileCache> cache = nullptr);

    std::optional<RegistryValueNames> enumerateValues(std::int32_t root, const QString& keyPath) override;
    void createKey(std::int32_t root, const QString& keyPath) override;
    void writeStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                          const QString& data) override;
    void writeTypedStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                               const QString& data, std::uint32_t type) override;
    std::uint32_t valueType(std::int32_t root, const QString& keyPath, const QString& name) override;
    void copyValue(std::int32_t sourceRoot, const QString& sourceKeyPath, const QString& sourceName,
                   std::int32_t targetRoot, const QString& targetKeyPath, const QString& targetName) override;
    QString readValue(std::int32_t root, const QString& keyPath, const QString& name,
                      std::uint32_t kind) override;
    void deleteValue(std::int32_t root, const QString& keyPath, const QString& name) override;
    // The default value ("@") has the empty name and is never listed.
    QString skippedValueName() const override { return QString(); }
    bool rootReadable(std::int32_t root) override;
    QList<RegistryValueText> readValues(std::int32_t root, const QString& keyPath) override;

    // The file behind a root; throws RegistryError for other roots.
    QString filePath(std::int32_t root) const;
    const QString& prefixDir() const { return m_prefixDir; }
    // A value with its type and raw data, or nullopt when the key or value is missing. When a key
    // holds a name twice (differing in case), the later line wins, as Wine loads it.
    std::optional<winereg::ValueEntry> readRawValue(std::int32_t root, const QString& keyPath,
                                                    const QString& name);
    // Sets a value of any type (the data as the server holds it).
    void writeRawValue(std::int32_t root, const QString& keyPath, const QString& name, std::uint32_t type,
                       const QByteArray& data);

    // For tests: called once per attempt after the new file is written and before the old one is
    // replaced, to simulate another writer.
    void setBeforeReplaceHook(std::function<void()> hook) { m_beforeReplace = std::move(hook); }

private:
    // Reads the file, applies edit (which sets changed) and replaces the file safely; retries when the
    // file changed meanwhile.
    // verify checks the edited region (EditPlan::editedRegion) before anything is written.
    void modify(std::int32_t root,
                const std::function<winereg::EditPlan(QByteArrayView current, std::uint64_t filetime)>& edit,
                const std::function<bool(const QByteArray& region)>& verify);

    // The values of the key read last (the program enumerates a key, then reads each value).
    struct KeyValues;
    // Null when the key has no section; exists, when given, tells whether the key exists at all (a
    // key that only holds subkeys has no section, and finding out costs a look at the whole file).
    std::shared_ptr<KeyValues> keyValues(std::int32_t root, const QString& keyPath, bool* exists = nullptr);

    QString m_prefixDir;
    std::function<void()> m_beforeReplace;
    std::shared_ptr<winereg::RegistryFileCache> m_files;
    std::shared_ptr<KeyValues> m_lastKey;
};

} // namespace sw
