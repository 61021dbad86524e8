#include "listing.h"

#include "places.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

#include <atomic>
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
    const QString label = context.texts.getText(place.backupKind);
    QList<AutostartEntry> rows;
    if (place.kind == PlaceKind::RegistryKey) {
        rows = listRegistryKey(context, place.root, place.keyPath, label);
    } else {
        const QString folder = startupFolderPath(*context.platform.system, place);
        // A folder the system cannot name lists nothing rather than the root of a drive.
        if (!folder.isEmpty())
            rows = listStartmenuFolder(context, folder + QLatin1Char('\\'), label);
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
    // Two threads take the places in turn, the Startup folders first: a folder costs a few system
    // calls per file and takes longest, a registry key mostly parsing. The platform's caches take
    // turns.
    std::vector<qsizetype> order;
    for (qsizetype i = 0; i < places.size(); ++i)
        if (isFolder(*places[i]))
            order.push_back(i);
    for (qsizetype i = 0; i < places.size(); ++i)
        if (!isFolder(*places[i]))
            order.push_back(i);
    std::atomic<std::size_t> next{0};
    const auto listTheRest = [&] {
        for (std::size_t k = next++; k < order.size(); k = next++)
            lists[static_cast<std::size_t>(order[k])] = listPlace(context, *places[order[k]]);
    };
    if (order.size() > 1) {
        auto helper = std::async(std::launch::async, listTheRest);
        listTheRest();
        helper.get();
    } else {
        listTheRest();
    }

    // The first place's list grows to hold them all, in place where the allocator can.
    if (lists.empty())
        return {};
    qsizetype count = 0;
    for (const QList<AutostartEntry>& list : lists)
        count += list.size();
    QList<AutostartEntry> rows = std::move(lists.front());
    rows.reserve(count);
    for (std::size_t i = 1; i < lists.size(); ++i)
        rows.append(std::move(lists[i]));
    return rows;
}

} // namespace sw
