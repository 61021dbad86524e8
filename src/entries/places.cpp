#include "places.h"

#include "platform/registry_store.h"
#include "platform/system_info.h"

namespace sw {

namespace {
const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunOnceKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
} // namespace

const std::array<Place, 6>& allPlaces() {
    static const std::array<Place, 6> places = {{
        {PlaceKind::RegistryKey, "LURun", "LOCAL RUN", "Run", "folder", kHkeyCurrentUser, kRunKey, 0,
         kBackupKey + "\\HKEY_CU\\Run"},
        {PlaceKind::RegistryKey, "LURunOnce", "LOCAL RUNONCE", "RunOnce", "folder", kHkeyCurrentUser,
         kRunOnceKey, 0, kBackupKey + "\\HKEY_CU\\RunOnce"},
        {PlaceKind::RegistryKey, "AURun", "ALL RUN", "Run", "folder", kHkeyLocalMachine, kRunKey, 0,
         kBackupKey + "\\HKEY_LM\\Run"},
        {PlaceKind::RegistryKey, "AURunOnce", "ALL RUNONCE", "RunOnce", "folder", kHkeyLocalMachine,
         kRunOnceKey, 0, kBackupKey + "\\HKEY_LM\\RunOnce"},
        {PlaceKind::StartupFolder,
         "SMAllUsr",
         "ALL USERS",
         "AllUsr",
         "all users",
         0,
         {},
         kCsidlCommonStartup,
         "Backups/Startmenu/All Users"},
        {PlaceKind::StartupFolder,
         "SMLocalUsr",
         "LOCAL USER",
         "LocalUsr",
         "local user",
         0,
         {},
         kCsidlStartup,
         "Backups/Startmenu/Local User"},
    }};
    return places;
}

const Place* placeByBackupKind(const QString& backupKind) {
    for (const Place& place : allPlaces())
        if (place.backupKind == backupKind)
            return &place;
    return nullptr;
}

const QStringList& categoryKeys() {
    static const QStringList keys = {"ALL",         "STARTMENU",     "REGISTRY",      "LOCAL USER REG",
                                     "LOCAL RUN",   "LOCAL RUNONCE", "ALL USERS REG", "ALL RUN",
                                     "ALL RUNONCE", "LOCAL USER",    "ALL USERS",     "SERVICES"};
    return keys;
}

QList<const Place*> placesOfCategory(const QString& categoryKey) {
    static const QList<QPair<QString, QStringList>> table = {
        {"ALL", {"LURun", "LURunOnce", "AURun", "AURunOnce", "SMAllUsr", "SMLocalUsr"}},
        {"STARTMENU", {"SMAllUsr", "SMLocalUsr"}},
        {"LOCAL USER", {"SMLocalUsr"}},
        {"ALL USERS", {"SMAllUsr"}},
        {"REGISTRY", {"LURun", "LURunOnce", "AURun", "AURunOnce"}},
        {"LOCAL USER REG", {"LURun", "LURunOnce"}},
        {"LOCAL RUN", {"LURun"}},
        {"LOCAL RUNONCE", {"LURunOnce"}},
        {"ALL USERS REG", {"AURun", "AURunOnce"}},
        {"ALL RUN", {"AURun"}},
        {"ALL RUNONCE", {"AURunOnce"}},
    };
    QList<const Place*> places;
    for (const auto& [key, kinds] : table) {
        if (key != categoryKey)
            continue;
        for (const QString& kind : kinds)
            places.append(placeByBackupKind(kind));
    }
    return places;
}

QString startupFolderPath(const SystemInfo& system, const Place& place) {
    return system.GetSpecialFolder(place.specialFolder, false, false);
}

} // namespace sw
