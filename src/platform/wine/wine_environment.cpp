#include "wine_environment.h"

#include "platform/path_resolution.h"
#include "platform/registry_store.h"

#include <exception>

namespace sw {

namespace {
// Wine always gives its user this SID; its ProfileList entry names the profile folder.
const char* const kUserProfileKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1000";

// Every value of a key in the store's order; nothing when the key cannot be read. An unreadable
// value is left out, as Wine skips values it cannot use.
QList<RegistryValueText> readKey(RegistryStore& store, std::int32_t root, const QString& keyPath) {
    try {
        return store.readValues(root, keyPath);
    } catch (const std::exception&) {
        return {};
    }
}

QString readValue(RegistryStore& store, std::int32_t root, const QString& keyPath, const QString& name) {
    for (const RegistryValueText& value : readKey(store, root, keyPath))
        if (value.name.compare(name, Qt::CaseInsensitive) == 0)
            return value.data;
    return {};
}

// The store hands out every string kind as text, so each value is expanded; a plain string
// without "%" is unchanged by that.
void addRegistryVariables(WineEnvironment& environment, RegistryStore& store, std::int32_t root,
                          const QString& keyPath) {
    for (const RegistryValueText& value : readKey(store, root, keyPath)) {
        if (value.name.isEmpty())
            continue;
        const QString data = environment.expand(value.data);
        const bool isPath = value.name.compare(QLatin1String("PATH"), Qt::CaseInsensitive) == 0;
        const QString previous = environment.value(value.name);
        if (isPath && !previous.isEmpty())
            environment.set(value.name, previous + QLatin1Char(';') + data);
        else
            environment.set(value.name, data);
    }
}

void setFromValue(WineEnvironment& environment, RegistryStore& store, const QString& keyPath,
                  const QString& valueName, const QStringList& variables) {
    const QString data = environment.expand(readValue(store, kHkeyLocalMachine, keyPath, valueName));
    if (data.isEmpty())
        return;
    for (const QString& variable : variables)
        environment.set(variable, data);
}

void addProgramFolders(WineEnvironment& environment, RegistryStore& store) {
    const QString key = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion");
    const QString programs = QStringLiteral("ProgramFiles");
    const QString common = QStringLiteral("CommonProgramFiles");
    if (!readValue(store, kHkeyLocalMachine, key, QStringLiteral("ProgramFilesDir (x86)")).isEmpty()) {
        // A 64-bit prefix; StartWarden resolves programs as a 64-bit process sees them.
        setFromValue(environment, store, key, QStringLiteral("ProgramFilesDir (x86)"), {programs + "(x86)"});
        setFromValue(environment, store, key, QStringLiteral("ProgramFilesDir"), {"ProgramW6432", programs});
        setFromValue(environment, store, key, QStringLiteral("CommonFilesDir (x86)"), {common + "(x86)"});
        setFromValue(environment, store, key, QStringLiteral("CommonFilesDir"),
                     {"CommonProgramW6432", common});
    } else {
        setFromValue(environment, store, key, QStringLiteral("ProgramFilesDir"), {programs});
        setFromValue(environment, store, key, QStringLiteral("CommonFilesDir"), {common});
    }
}
} // namespace

WineEnvironment WineEnvironment::fromRegistry(RegistryStore& store) {
    WineEnvironment environment;
    environment.set(QStringLiteral("SystemDrive"), QStringLiteral("C:"));
    environment.set(QStringLiteral("SystemRoot"), QStringLiteral("C:\\windows"));
    addRegistryVariables(environment, store, kHkeyLocalMachine,
                         QStringLiteral("System\\CurrentControlSet\\Control\\Session Manager\\Environment"));
    addRegistryVariables(environment, store, kHkeyCurrentUser, QStringLiteral("Environment"));
    addRegistryVariables(environment, store, kHkeyCurrentUser, QStringLiteral("Volatile Environment"));

    const QString profiles = QStringLiteral("Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
    setFromValue(environment, store, profiles, QStringLiteral("ProgramData"),
                 {"ALLUSERSPROFILE", "ProgramData"});
    setFromValue(environment, store, profiles, QStringLiteral("Public"), {"PUBLIC"});
    addProgramFolders(environment, store);
    setFromValue(environment, store,
                 QStringLiteral("System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName"),
                 QStringLiteral("ComputerName"), {"COMPUTERNAME"});

    // wineboot writes the profile into Volatile Environment; a prefix that lacks it still has the
    // ProfileList entry of Wine's user.
    if (!environment.contains(QStringLiteral("USERPROFILE")))
        setFromValue(environment, store, QLatin1String(kUserProfileKey), QStringLiteral("ProfileImagePath"),
                     {"USERPROFILE"});
    return environment;
}

const WineEnvironment::Variable* WineEnvironment::find(QStringView name) const {
    for (const Variable& variable : m_variables)
        if (QStringView(variable.name).compare(name, Qt::CaseInsensitive) == 0)
            return &variable;
    return nullptr;
}

QString WineEnvironment::value(const QString& name) const {
    const Variable* variable = find(name);
    return variable ? variable->value : QString();
}

bool WineEnvironment::contains(const QString& name) const {
    return find(name) != nullptr;
}

void WineEnvironment::set(const QString& name, const QString& value) {
    for (Variable& variable : m_variables) {
        if (variable.name.compare(name, Qt::CaseInsensitive) == 0) {
            variable.value = value;
            return;
        }
    }
    m_variables.append({name, value});
}

QStringList WineEnvironment::names() const {
    QStringList result;
    for (const Variable& variable : m_variables)
        result.append(variable.name);
    return result;
}

QString WineEnvironment::expand(const QString& text) const {
    return expandEnvironmentNames(text, [this](const QString& name) { return value(name); });
}

} // namespace sw
