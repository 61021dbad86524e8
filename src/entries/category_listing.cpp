#include "listing.h"

#include "places.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

#include <algorithm>
#include <future>
#include <vector>

namespace sw {

namespace {

bool isFolder(const Place& place) {
    return place.kind != PlaceKind::RegistryKey;
}

} // namespace

QList<AutostartEntry> listPlace(const ListingContext& context, const Place& place) {
    const auto held = context.platform.holdContents();
    const QString label = context.texts.GetText(place.backupKind);
    QList<AutostartEntry> rows;
    if (place.kind == PlaceKind::RegistryKey) {
        rows = ListRegistryKey(context, place.root, place.keyPath, label);
    } else {
        const QString folder = startupFolderPath(*context.platform.system, place);
        // A folder the system cannot name lists nothing rather than the root of a drive.
        if (!folder.isEmpty())
            rows = ListStartmenuFolder(context, folder + QLatin1Char('\\'), label);
    }
    for (AutostartEntry& row : rows)
        row.backupKind = place.backupKind;
    return rows;
}

QList<AutostartEntry> listCategory(const ListingContext& context, const QString& categoryKey) {
    // The places share their registry files and program folders: each is read once per listing.
    const auto held = context.platform.holdContents();
    const QList<const Place*> places = placesOfCategory(categoryKey);
    std::vector<QList<AutostartEntry>> lists(static_cast<std::size_t>(places.size()));
    const auto listPlaces = [&](bool folders) {
        for (std::size_t i = 0; i < lists.size(); ++i)
            if (isFolder(*places[static_cast<qsizetype>(i)]) == folders)
                lists[i] = listPlace(context, *places[static_cast<qsizetype>(i)]);
    };
    // A Startup folder costs a few system calls per file, a registry key mostly parsing: with both
    // kinds, the folders are listed on a second thread meanwhile. The platform's caches take turns.
    const auto folderCount =
        std::count_if(places.begin(), places.end(), [](const Place* p) { return isFolder(*p); });
    if (folderCount > 0 && folderCount < places.size()) {
        auto folders = std::async(std::launch::async, listPlaces, true);
        listPlaces(false);
        folders.get();
    } else {
        listPlaces(folderCount > 0);
    }

    // The first place's list grows to hold them all, in place where the allocator can.
    if (lists.empty())
        return {};
    QList<AutostartEntry> rows = std::move(lists.front());
    for (std::size_t i = 1; i < lists.size(); ++i)
        rows.append(std::move(lists[i]));
    return rows;
}

} // namespace sw
