#include "property_bag.h"

#include <QSettings>

namespace sw {

QVariant PropertyBag::readProperty(const QString& name, const QVariant& defaultValue) const {
    const QVariant stored = value(name);
    return stored.isValid() ? stored : defaultValue;
}

void PropertyBag::writeProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) {
    if (value == defaultValue)
        remove(name);
    else
        store(name, value);
}

std::int32_t readIntProperty(const PropertyBag& bag, const QString& name, std::int32_t fallback) {
    bool ok = false;
    const qlonglong value = bag.readProperty(name, fallback).toLongLong(&ok);
    return ok ? static_cast<std::int32_t>(value) : fallback;
}

bool readBoolProperty(const PropertyBag& bag, const QString& name, bool fallback) {
    const QVariant value = bag.readProperty(name, fallback);
    return value.canConvert<bool>() ? value.toBool() : fallback;
}

QString SettingsPropertyBag::key(const QString& name) const {
    return m_group.isEmpty() ? name : m_group + QLatin1Char('/') + name;
}

QVariant SettingsPropertyBag::value(const QString& name) const {
    return m_settings.value(key(name));
}

void SettingsPropertyBag::store(const QString& name, const QVariant& value) {
    m_settings.setValue(key(name), value);
}

void SettingsPropertyBag::remove(const QString& name) {
    m_settings.remove(key(name));
}

} // namespace sw
