#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>

namespace sw {

class SystemInfo;

// Where the program keeps registry backups, below HKEY_CURRENT_USER.
inline const QString kBackupKey =
    QStringLiteral("Software\\VB and VBA Program Settings\\Tidyra\\StartWarden\\Backups");

enum class PlaceKind { RegistryKey, StartupFolder };

// When Wine starts the entries of a place, as wine_starts_test proves on a real prefix: on every
// start of a session on the prefix, on the next start only (Wine removes the value first), on a run
// of wineboot without options, or never. RemovedAtStart: never run, but removed by the next start
// as the place's active entries are (a deactivated RunOnce value).
enum class WineStart { EveryStart, NextStart, Boot, Never, RemovedAtStart };

// One of the places an autostart entry can live in. The backup kind names the place for good:
// it is the language key of its label, the key of its backup group and what a backup row keeps.
struct Place {
    PlaceKind kind;
    QString backupKind;
    QString categoryKey;    // the category that lists this place alone
    QString treeCaptionKey; // the caption and image of that category's node
    QString treeImageKey;
    std::int32_t root; // registry places only
    QString keyPath;   // registry places only
    int specialFolder; // Startup folders only
    // registry: the backup key below HKEY_CURRENT_USER; folder: the backup folder below the data folder
    QString backupLocation;
    WineStart starts;         // an active entry
    WineStart startsInactive; // an entry the program deactivated ("REM ", the hidden mark)
    int wineOrder;            // the position of the place in the order a wineboot runs them

    bool isRegistryKey() const { return kind == PlaceKind::RegistryKey; }
};

inline constexpr std::size_t kPlaceCount = 10;

// The places in the order category "ALL" lists them, then those only "SERVICES" lists.
const std::array<Place, kPlaceCount>& allPlaces();

// The place of a backup kind ("LURun", ...), or nullptr.
const Place* placeByBackupKind(const QString& backupKind);

// The places in the order the category tree shows them from top to bottom; the backups are
// grouped in this order.
const QList<const Place*>& placesInTreeOrder();

// A node of the category tree.
struct Category {
    QString key;
    QString captionKey;
    QString imageKey;
    QString descriptionKey;     // what the move dialog says of it; empty where it does not show it
    QString parentKey;          // empty for a top node
    QList<const Place*> places; // the places it lists, in listing order
};

// The categories in the order the tree creates them; a parent comes before its children, and each
// child goes last under its parent.
const QList<Category>& allCategories();

// The category of a key (compared exactly), or nullptr.
const Category* categoryByKey(const QString& key);

// The category keys in the order the tree creates them.
const QStringList& categoryKeys();

// The places a category lists, in listing order; empty for unknown keys.
QList<const Place*> placesOfCategory(const QString& categoryKey);

// The place a category names as a target (of add, move and restore): the place whose own category
// it is, or nullptr for a group and unknown keys.
const Place* placeOfCategory(const QString& categoryKey);

// The place a registry tag names (root and key compared as the registry does), or nullptr.
const Place* placeOfTag(const QString& tag);

// The Startup folder of a place from the managed system, without a trailing backslash.
QString startupFolderPath(const SystemInfo& system, const Place& place);

} // namespace sw
