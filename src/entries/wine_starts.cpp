#include "wine_starts.h"

#include "listing.h"
#include "platform/platform.h"

#include <algorithm>

namespace sw {

QString wineStartName(WineStart starts) {
    switch (starts) {
    case WineStart::EveryStart:
        return QStringLiteral("start");
    case WineStart::NextStart:
        return QStringLiteral("start-once");
    case WineStart::Boot:
        return QStringLiteral("boot");
    case WineStart::RemovedAtStart:
        return QStringLiteral("never-removed");
    case WineStart::Never:
        break;
    }
    return QStringLiteral("never");
}

QString wineStartTextKey(WineStart starts) {
    switch (starts) {
    case WineStart::EveryStart:
        return QStringLiteral("StartsEvery");
    case WineStart::NextStart:
        return QStringLiteral("StartsNext");
    case WineStart::Boot:
        return QStringLiteral("StartsBoot");
    case WineStart::RemovedAtStart:
        return QStringLiteral("StartsNeverRemoved");
    case WineStart::Never:
        break;
    }
    return QStringLiteral("StartsNever");
}

WineStart wineStartOfRow(const AutostartEntry& row) {
    const Place* place = placeByBackupKind(row.backupKind);
    if (!place || !row.readByWine)
        return WineStart::Never;
    // Wine treats a value of another type as it treats a deactivated one: it does not run it.
    return row.active && row.plainString ? place->starts : place->startsInactive;
}

bool removedAtNextStart(WineStart starts) {
    return starts == WineStart::NextStart || starts == WineStart::RemovedAtStart;
}

namespace {

// The rows Wine takes up, in its order.
template <typename Wanted>
QList<AutostartEntry> inWineOrder(const QList<AutostartEntry>& rows, Wanted wanted) {
    QList<const Place*> places;
    for (const Place& place : allPlaces())
        places.append(&place);
    std::stable_sort(places.begin(), places.end(),
                     [](const Place* a, const Place* b) { return a->wineOrder < b->wineOrder; });
    QList<AutostartEntry> ordered;
    for (const Place* place : places) {
        QList<AutostartEntry> ofPlace;
        for (const AutostartEntry& row : rows)
            if (row.backupKind == place->backupKind && wanted(wineStartOfRow(row)))
                ofPlace.append(row);
        if (place->isRegistryKey())
            std::reverse(ofPlace.begin(), ofPlace.end());
        else
            std::stable_sort(ofPlace.begin(), ofPlace.end(),
                             [](const AutostartEntry& a, const AutostartEntry& b) {
                                 return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                             });
        ordered.append(ofPlace);
    }
    return ordered;
}

} // namespace

WineRunOrder wineRunOrder(const QList<AutostartEntry>& rows) {
    return {inWineOrder(rows,
                        [](WineStart starts) {
                            return starts == WineStart::EveryStart || starts == WineStart::NextStart;
                        }),
            inWineOrder(rows, [](WineStart starts) {
                return starts == WineStart::EveryStart || starts == WineStart::NextStart ||
                       starts == WineStart::Boot;
            })};
}

QList<AutostartEntry> listAllPlaces(const Platform& platform, const LanguageTexts& texts) {
    const ListingContext context{platform, texts};
    QList<AutostartEntry> rows = listCategory(context, QStringLiteral("ALL"));
    rows.append(listCategory(context, QStringLiteral("SERVICES")));
    return rows;
}

QList<AutostartEntry> rowsUsedUpByNextStart(const QList<AutostartEntry>& rows) {
    return inWineOrder(rows, removedAtNextStart);
}

QList<AutostartEntry> rowsUsedUpByStartingWine(const Platform& platform, const LanguageTexts& texts) {
    if (!platform.readOnlyReason().isEmpty())
        return {};
    QList<AutostartEntry> rows;
    const ListingContext context{platform, texts};
    for (const Place& place : allPlaces())
        if (removedAtNextStart(place.starts) || removedAtNextStart(place.startsInactive))
            rows.append(listPlace(context, place));
    return rowsUsedUpByNextStart(rows);
}

QString namesOfRows(const QList<AutostartEntry>& rows) {
    QStringList lines;
    for (const AutostartEntry& row : rows)
        lines.append(row.name + QStringLiteral(" (") + row.placeLabel + QLatin1Char(')'));
    return lines.join(QLatin1Char('\n'));
}

} // namespace sw
