#pragma once

#include "platform/registry_store.h"

#include <QList>
#include <QMap>
#include <QString>
#include <memory>

namespace sw {

// A registry held in memory, with the store's effects and its case-insensitive names. Several
// store objects can share one registry, as instances of the real store share the files.
class MemoryRegistryStore : public RegistryStore {
public:
    struct Value {
        QString name;
        QString data;
        std::uint32_t type = kRegistryString;
    };
    struct Key {
        QString path; // the spelling it was created with
        QList<Value> values;
    };
    using Registry = QMap<QString, Key>; // by root and lower-cased path

    explicit MemoryRegistryStore(std::shared_ptr<Registry> registry = std::make_shared<Registry>());

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
    QString skippedValueName() const override { return QString(); }

    std::shared_ptr<Registry> registry() const { return m_registry; }

private:
    Key* findKey(std::int32_t root, const QString& keyPath);
    Value* findValue(std::int32_t root, const QString& keyPath, const QString& name);
    std::shared_ptr<Registry> m_registry;
};

} // namespace sw
