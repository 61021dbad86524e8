#pragma once

#include "platform_error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace sw {

// Registry roots as the program carries them: signed 32-bit integers.
inline constexpr std::int32_t kHkeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

// Raised by every failing registry operation; callers that ignore errors step by step catch it.
class RegistryError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

// The Windows types of the values the program writes: REG_SZ and REG_EXPAND_SZ. A value of any other
// type (a number, binary data, REG_MULTI_SZ) holds no command line and is never rewritten.
inline constexpr std::uint32_t kRegistryString = 1;
inline constexpr std::uint32_t kRegistryExpandString = 2;
inline bool isTextValueType(std::uint32_t type) {
    return type == kRegistryString || type == kRegistryExpandString;
}

// How much of a value's text a listing keeps: one unit more than the longest command line Windows
// starts, so that a cut text is never a whole one.
inline constexpr qsizetype kListedDataUnits = 32768;

// A value with its data as text.
struct RegistryValueText {
    QString name;
    QString data;
    std::uint32_t type = kRegistryString; // its Windows type
};

// The value names of a key, and for each the kind readValue takes.
struct RegistryValueNames {
    QStringList names;
    QList<std::uint32_t> kinds;
};

// All registry reads and writes pass through here. Key paths are relative to the root, without a
// leading backslash; key and value names compare case-insensitively and keep their case.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // Every value name of the key in the store's order, with one opaque number per name for
    // readValue; nothing when the key is missing or unreadable.
    virtual std::optional<RegistryValueNames> enumerateValues(std::int32_t root, const QString& keyPath) = 0;
    // Afterwards the key exists with every missing key above it; an existing key stays unchanged.
    virtual void createKey(std::int32_t root, const QString& keyPath) = 0;
    // Afterwards the value holds exactly the text (created or overwritten).
    virtual void writeStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                                  const QString& data) = 0;
    // Afterwards the value holds exactly the text as a string of that type (kRegistryString or
    // kRegistryExpandString; any other type throws).
    virtual void writeTypedStringValue(std::int32_t root, const QString& keyPath, const QString& name,
                                       const QString& data, std::uint32_t type) = 0;
    // The value's Windows type (REG_SZ 1, REG_EXPAND_SZ 2, REG_DWORD 4, REG_MULTI_SZ 7, ...). Throws
    // when the value does not exist.
    virtual std::uint32_t valueType(std::int32_t root, const QString& keyPath, const QString& name) = 0;
    // Afterwards the target value holds the source value's data with its type; the source stays.
    virtual void copyValue(std::int32_t sourceRoot, const QString& sourceKeyPath, const QString& sourceName,
                           std::int32_t targetRoot, const QString& targetKeyPath,
                           const QString& targetName) = 0;
    // The value's data as text; kind is what enumerateValues gave, or 0.
    virtual QString readValue(std::int32_t root, const QString& keyPath, const QString& name,
                              std::uint32_t kind) = 0;
    // Afterwards the value is gone.
    virtual void deleteValue(std::int32_t root, const QString& keyPath, const QString& name) = 0;
    // Enumerated values with exactly this name (case-sensitive) are never listed.
    virtual QString skippedValueName() const = 0;
    // False when nothing below the root can be read: a key enumerateValues finds nothing in is then
    // not known to be missing.
    virtual bool rootReadable(std::int32_t root) {
        (void)root;
        return true;
    }

    // Every value of the key with its data, in enumerateValues' order (values whose data cannot be
    // read are left out); empty when the key is missing or unreadable. For readers that do not ask
    // whether a key without values exists, which can cost a store more than reading it. A listing
    // needs no more of a text than Windows starts (kListedDataUnits): a store may cut longer data
    // there, which readValue and the writes never do.
    virtual QList<RegistryValueText> readValues(std::int32_t root, const QString& keyPath) {
        QList<RegistryValueText> values;
        std::optional<RegistryValueNames> listed;
        try {
            listed = enumerateValues(root, keyPath);
        } catch (const RegistryError&) {
            return values;
        }
        if (!listed)
            return values;
        const QStringList& names = listed->names;
        const QList<std::uint32_t>& kinds = listed->kinds;
        for (qsizetype i = 0; i < names.size(); ++i) {
            try {
                values.append({names[i], readValue(root, keyPath, names[i], kinds.value(i)), kinds.value(i)});
            } catch (const RegistryError&) {
            }
        }
        return values;
    }
};

} // namespace sw
