#include "places.h"

#include "platform/registry_store.h"
#include "platform/system_info.h"

namespace sw {

namespace {

const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunOnceKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");

enum PlaceIndex { LocalRun, LocalRunOnce, AllRun, AllRunOnce, AllUsersFolder, LocalUserFolder };

const Place& at(PlaceIndex index) {
    return allPlaces()[index];
}

// The node of the category that lists one place: its caption and image are the place's.
Category placeNode(PlaceIndex index, const char* parentKey, const char* descriptionKey) {
    const Place& place = at(index);
    return {place.categoryKey,        place.treeCaptionKey,
            place.treeImageKey,       QLatin1String(descriptionKey),
            QLatin1String(parentKey), {&place}};
}

Category groupNode(const char* key, const char* parentKey, const char* captionKey, const char* imageKey,
                   const char* descriptionKey, std::initializer_list<PlaceIndex> places) {
    Category category{QLatin1String(key),       QLatin1String(captionKey),
                      QLatin1String(imageKey),  QLatin1String(descriptionKey),
                      QLatin1String(parentKey), {}};
    for (PlaceIndex index : places)
        category.places.append(&at(index));
    return category;
}

void appendShownPlaces(const QString& parentKey, QList<const Place*>& places) {
    for (const Category& category : allCategories()) {
        if (category.parentKey != parentKey)
            continue;
        if (category.places.size() == 1 && category.places.first()->categoryKey == category.key)
            places.append(category.places.first());
        else
            appendShownPlaces(category.key, places);
    }
}

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

const QList<Category>& allCategories() {
    static const QList<Category> categories = {
        groupNode("ALL", "", "All", "folder", "",
                  {LocalRun, LocalRunOnce, AllRun, AllRunOnce, AllUsersFolder, LocalUserFolder}),
        groupNode("STARTMENU", "ALL", "Startmenu", "startmenu", "StartmenuDes",
                  {AllUsersFolder, LocalUserFolder}),
        groupNode("REGISTRY", "ALL", "Registry", "reg", "RegDes",
                  {LocalRun, LocalRunOnce, AllRun, AllRunOnce}),
        groupNode("LOCAL USER REG", "REGISTRY", "LocalUsr", "local user", "RegUsrDes",
                  {LocalRun, LocalRunOnce}),
        placeNode(LocalRun, "LOCAL USER REG", "RegUsrRunDes"),
        placeNode(LocalRunOnce, "LOCAL USER REG", "RegUsrRunOnceDes"),
        groupNode("ALL USERS REG", "REGISTRY", "AllUsr", "all users", "RegCommonDes", {AllRun, AllRunOnce}),
        placeNode(AllRun, "ALL USERS REG", "RegCommonRunDes"),
        placeNode(AllRunOnce, "ALL USERS REG", "RegCommonRunOnceDes"),
        placeNode(LocalUserFolder, "STARTMENU", "StartmenuUsrDes"),
        placeNode(AllUsersFolder, "STARTMENU", "StartmenuCommonDes"),
        groupNode("SERVICES", "", "LocalServices", "services", "", {}),
    };
    return categories;
}

const Place* placeByBackupKind(const QString& backupKind) {
    for (const Place& place : allPlaces())
        if (place.backupKind == backupKind)
            return &place;
    return nullptr;
}

const QList<const Place*>& placesInTreeOrder() {
    static const QList<const Place*> places = [] {
        QList<const Place*> shown;
        appendShownPlaces(QString(), shown);
        return shown;
    }();
    return places;
}

const Category* categoryByKey(const QString& key) {
    for (const Category& category : allCategories())
        if (category.key == key)
            return &category;
    return nullptr;
}

const QStringList& categoryKeys() {
    static const QStringList keys = [] {
        QStringList all;
        for (const Category& category : allCategories())
            all.append(category.key);
        return all;
    }();
    return keys;
}

QList<const Place*> placesOfCategory(const QString& categoryKey) {
    const Category* category = categoryByKey(categoryKey);
    return category ? category->places : QList<const Place*>();
}

QString startupFolderPath(const SystemInfo& system, const Place& place) {
    return system.getSpecialFolder(place.specialFolder, false, false);
}

} // namespace sw
