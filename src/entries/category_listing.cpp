#include "listing.h"

#include "places.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

namespace sw {

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
    QList<AutostartEntry> rows;
    for (const Place* place : placesOfCategory(categoryKey))
        rows += listPlace(context, *place);
    return rows;
}

} // namespace sw
