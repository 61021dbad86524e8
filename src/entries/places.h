#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace sw {

class SystemInfo;

// Where the program keeps registry backups, below HKEY_CURRENT_USER.
inline const QString kBackupKey =
    QStringLiteral("Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\Backups");

enum class PlaceKind { RegistryKey, StartupFolder };

// One of the six places an autostart entry can live in. The backup kind is also the language key
// of the place's label.
struct Place {
    PlaceKind kind;
    QString backupKind;
    QString categoryKey;
    QString treeCaptionKey;
    QString treeImageKey;
    std::int32_t root; // registry places only
    QString keyPath;   // registry places only
    int specialFolder; // Startup folders only
    QString
        backupLocation; // registry: key path below HKEY_CURRENT_USER; folder: path below the program folder
};

// The six places in the order category "ALL" lists them.
const std::array<Place, 6>& allPlaces();

// The place of a backup kind ("LURun", ...), or nullptr.
const Place* placeByBackupKind(const QString& backupKind);

// The twelve category keys in the order the tree creates them.
const QStringList& categoryKeys();

// The places a category lists, in listing order; empty for "SERVICES" and unknown keys (compared
// exactly).
QList<const Place*> placesOfCategory(const QString& categoryKey);

// The Startup folder of a place from the managed system, without a trailing backslash.
QString startupFolderPath(const SystemInfo& system, const Place& place);

} // namespace sw
