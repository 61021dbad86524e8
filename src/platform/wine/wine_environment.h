#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace sw {

class RegistryStore;

// The Windows environment that Wine builds for the programs of a prefix, read from its registry.
// Names compare case-insensitively and keep the spelling they were first set with.
class WineEnvironment {
public:
    // Built from the prefix's registry the way Wine builds a new process's environment. Keys or
    // values the store cannot read are left out.
    static WineEnvironment fromRegistry(RegistryStore& store);

    QString value(const QString& name) const;
    bool contains(const QString& name) const;
    void set(const QString& name, const QString& value);
    QStringList names() const;

    // The text with %NAME% pairs replaced from this environment (expandEnvironmentNames).
    QString expand(const QString& text) const;

private:
    struct Variable {
        QString name;
        QString value;
    };
    const Variable* find(QStringView name) const;

    QList<Variable> m_variables;
};

} // namespace sw
