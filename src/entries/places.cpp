#include "places.h"

#include "platform/registry_store.h"
#include "platform/system_info.h"

namespace sw {

namespace {

const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunOnceKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
// The machine's 32-bit view: where a 32-bit program's writes to the keys above land on a 64-bit
// prefix. The current user's Software has no such node; both views share its keys.
const QString kRun32Key = QStringLiteral("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunOnce32Key =
    QStringLiteral("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
const QString kRunServicesKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");
const QString kRunServicesOnceKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce");

enum PlaceIndex {
    LocalRun,
    LocalRunOnce,
    AllRun,
    AllRun32,
    AllRunOnce,
    AllRunOnce32,
    AllUsersFolder,
    LocalUserFolder,
    RunServices,
    RunServicesOnce
};

const Place& at(PlaceIndex index) {
    return allPlaces()[index];
}

Place registryPlace(const char* backupKind, const char* categoryKey, const char* captionKey,
                    std::int32_t root, const QString& keyPath, const char* backupKey, WineStart starts,
                    int wineOrder) {
    // Wine runs "REM ..." as a program named REM, which it does not find.
    return {PlaceKind::RegistryKey,
            QLatin1String(backupKind),
            QLatin1String(categoryKey),
            QLatin1String(captionKey),
            QStringLiteral("folder"),
            root,
            keyPath,
            0,
            kBackupKey + QLatin1Char('\\') + QLatin1String(backupKey),
            starts,
            starts == WineStart::NextStart ? WineStart::RemovedAtStart : WineStart::Never,
            wineOrder};
}

// The node of the category whose own place this is; it lists the places of its children too.
Category placeNode(PlaceIndex index, const char* parentKey, const char* descriptionKey,
                   std::initializer_list<PlaceIndex> childPlaces = {}) {
    const Place& place = at(index);
    Category category{place.categoryKey,        place.treeCaptionKey,
                      place.treeImageKey,       QLatin1String(descriptionKey),
                      QLatin1String(parentKey), {&place}};
    for (PlaceIndex child : childPlaces)
        category.places.append(&at(child));
    return category;
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
        if (const Place* own = placeOfCategory(category.key))
            places.append(own);
        appendShownPlaces(category.key, places);
    }
}

} // namespace

const std::array<Place, kPlaceCount>& allPlaces() {
    static const std::array<Place, kPlaceCount> places = {{
        registryPlace("LURun", "LOCAL RUN", "Run", kHkeyCurrentUser, kRunKey, "HKEY_CU\\Run", WineStart::Boot,
                      6),
        registryPlace("LURunOnce", "LOCAL RUNONCE", "RunOnce", kHkeyCurrentUser, kRunOnceKey,
                      "HKEY_CU\\RunOnce", WineStart::Never, 8),
        registryPlace("AURun", "ALL RUN", "Run", kHkeyLocalMachine, kRunKey, "HKEY_LM\\Run", WineStart::Boot,
                      4),
        registryPlace("AURun32", "ALL RUN32", "Run32", kHkeyLocalMachine, kRun32Key, "HKEY_LM\\Run32",
                      WineStart::Boot, 5),
        registryPlace("AURunOnce", "ALL RUNONCE", "RunOnce", kHkeyLocalMachine, kRunOnceKey,
                      "HKEY_LM\\RunOnce", WineStart::NextStart, 2),
        registryPlace("AURunOnce32", "ALL RUNONCE32", "RunOnce32", kHkeyLocalMachine, kRunOnce32Key,
                      "HKEY_LM\\RunOnce32", WineStart::NextStart, 3),
        // Wine's wineboot runs the current user's Startup folder only.
        {PlaceKind::StartupFolder,
         "SMAllUsr",
         "ALL USERS",
         "AllUsr",
         "all users",
         0,
         {},
         kCsidlCommonStartup,
         "Backups/Startmenu/All Users",
         WineStart::Never,
         WineStart::Never,
         9},
        // It runs hidden files too: the hidden mark does not keep an entry from starting.
        {PlaceKind::StartupFolder,
         "SMLocalUsr",
         "LOCAL USER",
         "LocalUsr",
         "local user",
         0,
         {},
         kCsidlStartup,
         "Backups/Startmenu/Local User",
         WineStart::Boot,
         WineStart::Boot,
         7},
        registryPlace("AURunServices", "RUNSERVICES", "RunServices", kHkeyLocalMachine, kRunServicesKey,
                      "HKEY_LM\\RunServices", WineStart::EveryStart, 1),
        registryPlace("AURunServicesOnce", "RUNSERVICESONCE", "RunServicesOnce", kHkeyLocalMachine,
                      kRunServicesOnceKey, "HKEY_LM\\RunServicesOnce", WineStart::NextStart, 0),
    }};
    return places;
}

const QList<Category>& allCategories() {
    static const QList<Category> categories = {
        groupNode("ALL", "", "All", "folder", "",
                  {LocalRun, LocalRunOnce, AllRun, AllRun32, AllRunOnce, AllRunOnce32, AllUsersFolder,
                   LocalUserFolder}),
        groupNode("STARTMENU", "ALL", "Startmenu", "startmenu", "StartmenuDes",
                  {AllUsersFolder, LocalUserFolder}),
        groupNode("REGISTRY", "ALL", "Registry", "reg", "RegDes",
                  {LocalRun, LocalRunOnce, AllRun, AllRun32, AllRunOnce, AllRunOnce32}),
        groupNode("LOCAL USER REG", "REGISTRY", "LocalUsr", "local user", "RegUsrDes",
                  {LocalRun, LocalRunOnce}),
        placeNode(LocalRun, "LOCAL USER REG", "RegUsrRunDes"),
        placeNode(LocalRunOnce, "LOCAL USER REG", "RegUsrRunOnceDes"),
        groupNode("ALL USERS REG", "REGISTRY", "AllUsr", "all users", "RegCommonDes",
                  {AllRun, AllRun32, AllRunOnce, AllRunOnce32}),
        placeNode(AllRun, "ALL USERS REG", "RegCommonRunDes", {AllRun32}),
        placeNode(AllRunOnce, "ALL USERS REG", "RegCommonRunOnceDes", {AllRunOnce32}),
        placeNode(LocalUserFolder, "STARTMENU", "StartmenuUsrDes"),
        placeNode(AllUsersFolder, "STARTMENU", "StartmenuCommonDes"),
        groupNode("SERVICES", "", "LocalServices", "services", "ServicesDes", {RunServices, RunServicesOnce}),
        placeNode(AllRun32, "ALL RUN", "RegCommonRun32Des"),
        placeNode(AllRunOnce32, "ALL RUNONCE", "RegCommonRunOnce32Des"),
        placeNode(RunServices, "SERVICES", "RunServicesDes"),
        placeNode(RunServicesOnce, "SERVICES", "RunServicesOnceDes"),
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

const Place* placeOfCategory(const QString& categoryKey) {
    for (const Place& place : allPlaces())
        if (place.categoryKey == categoryKey)
            return &place;
    return nullptr;
}

const Place* placeOfTag(const QString& tag) {
    const qsizetype separator = tag.indexOf(QLatin1Char(';'));
    if (separator < 0)
        return nullptr;
    bool number = false;
    const std::int32_t root = tag.left(separator).toInt(&number);
    if (!number)
        return nullptr;
    const QString key = tag.mid(separator + 1);
    for (const Place& place : allPlaces())
        if (place.isRegistryKey() && place.root == root &&
            place.keyPath.compare(key, Qt::CaseInsensitive) == 0)
            return &place;
    return nullptr;
}

QString startupFolderPath(const SystemInfo& system, const Place& place) {
    return system.getSpecialFolder(place.specialFolder, false, false);
}

} // namespace sw
