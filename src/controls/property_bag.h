#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <cstdint>

class QSettings;

namespace sw {

// The key/value store a host window keeps for the controls it holds. A value equal to its default
// is not stored, so a later change of the default (as with Position, whose default is MinPanelSize)
// reads back consistently.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    QVariant readProperty(const QString& name, const QVariant& defaultValue) const;
    void writeProperty(const QString& name, const QVariant& value, const QVariant& defaultValue);

protected:
    virtual QVariant value(const QString& name) const = 0; // invalid when absent
    virtual void store(const QString& name, const QVariant& value) = 0;
    virtual void remove(const QString& name) = 0;
};

class MemoryPropertyBag : public PropertyBag {
public:
    MemoryPropertyBag() = default;
    explicit MemoryPropertyBag(QVariantMap values) : m_values(std::move(values)) {}

    const QVariantMap& values() const { return m_values; }

protected:
    QVariant value(const QString& name) const override { return m_values.value(name); }
    void store(const QString& name, const QVariant& value) override { m_values.insert(name, value); }
    void remove(const QString& name) override { m_values.remove(name); }

private:
    QVariantMap m_values;
};

// Stores that keep text (settings files) give numbers and flags back as strings; a value that does
// not convert falls back to the default.
std::int32_t readIntProperty(const PropertyBag& bag, const QString& name, std::int32_t fallback);
bool readBoolProperty(const PropertyBag& bag, const QString& name, bool fallback);

// Keeps the properties in one group of a settings store, e.g. "frmMain/SplitterPanel1".
class SettingsPropertyBag : public PropertyBag {
public:
    SettingsPropertyBag(QSettings& settings, QString group)
        : m_settings(settings), m_group(std::move(group)) {}

protected:
    QVariant value(const QString& name) const override;
    void store(const QString& name, const QVariant& value) override;
    void remove(const QString& name) override;

private:
    QString key(const QString& name) const;

    QSettings& m_settings;
    QString m_group;
};

} // namespace sw
