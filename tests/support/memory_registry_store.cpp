#include "memory_registry_store.h"

namespace sw {

namespace {
QString mapKey(std::int32_t root, const QString& keyPath) {
    return QString::number(root) + QLatin1Char(';') + keyPath.toLower();
}

void checkRoot(std::int32_t root) {
    if (root != kHkeyCurrentUser && root != kHkeyLocalMachine)
        throw RegistryError("unknown registry root");
}

void checkPath(const QString& keyPath) {
    if (keyPath.startsWith(QLatin1Char('\\')) || keyPath.contains(QStringLiteral("\\\\")))
        throw RegistryError("malformed key path");
}
} // namespace

MemoryRegistryStore::MemoryRegistryStore(std::shared_ptr<Registry> registry)
    : m_registry(std::move(registry)) {}

MemoryRegistryStore::Key* MemoryRegistryStore::findKey(std::int32_t root, const QString& keyPath) {
    auto it = m_registry->find(mapKey(root, keyPath));
    return it == m_registry->end() ? nullptr : &it.value();
}

std::optional<RegistryValueNames> MemoryRegistryStore::enumerateValues(std::int32_t root,
                                                                       const QString& keyPath) {
    const Key* key = findKey(root, keyPath);
    if (!key)
        return std::nullopt;
    RegistryValueNames listed;
    for (const Value& value : key->values) {
        listed.names.append(value.name);
        listed.kinds.append(value.type);
    }
    return listed;
}

void MemoryRegistryStore::createKey(std::int32_t root, const QString& keyPath) {
    checkRoot(root);
    checkPath(keyPath);
    const QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path = path.isEmpty() ? part : path + QLatin1Char('\\') + part;
        if (!findKey(root, path))
            m_registry->insert(mapKey(root, path), Key{path, {}});
    }
}

MemoryRegistryStore::Value* MemoryRegistryStore::findValue(std::int32_t root, const QString& keyPath,
                                                           const QString& name) {
    Key* key = findKey(root, keyPath);
    if (!key)
        throw RegistryError("key not found");
    for (Value& value : key->values)
        if (value.name.compare(name, Qt::CaseInsensitive) == 0)
            return &value;
    return nullptr;
}

void MemoryRegistryStore::writeStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                                           const QString& data) {
    writeTypedStringValue(root, keyPath, name, data, kRegistryString);
}

void MemoryRegistryStore::writeTypedStringValue(std::int32_t root, const QString& keyPath,
                                                const QString& name, const QString& data,
                                                std::uint32_t type) {
    if (!isTextValueType(type))
        throw RegistryError("not a string type");
    createKey(root, keyPath);
    if (Value* value = findValue(root, keyPath, name)) {
        value->data = data;
        value->type = type;
        return;
    }
    findKey(root, keyPath)->values.append(Value{name, data, type});
}

std::uint32_t MemoryRegistryStore::valueType(std::int32_t root, const QString& keyPath, const QString& name) {
    if (const Value* value = findValue(root, keyPath, name))
        return value->type;
    throw RegistryError("value not found");
}

void MemoryRegistryStore::copyValue(std::int32_t sourceRoot, const QString& sourceKeyPath,
                                    const QString& sourceName, std::int32_t targetRoot,
                                    const QString& targetKeyPath, const QString& targetName) {
    const QString data = readValue(sourceRoot, sourceKeyPath, sourceName, 0);
    writeTypedStringValue(targetRoot, targetKeyPath, targetName, data,
                          valueType(sourceRoot, sourceKeyPath, sourceName));
}

QString MemoryRegistryStore::readValue(std::int32_t root, const QString& keyPath, const QString& name,
                                       std::uint32_t) {
    if (const Value* value = findValue(root, keyPath, name))
        return value->data;
    throw RegistryError("value not found");
}

void MemoryRegistryStore::deleteValue(std::int32_t root, const QString& keyPath, const QString& name) {
    Key* key = findKey(root, keyPath);
    if (!key)
        throw RegistryError("key not found");
    const auto removed = key->values.removeIf(
        [&](const Value& value) { return value.name.compare(name, Qt::CaseInsensitive) == 0; });
    if (removed == 0)
        throw RegistryError("value not found");
}

} // namespace sw
