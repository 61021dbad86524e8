#include "category_counts.h"

#include "places.h"

namespace sw {

QHash<QString, qsizetype> countRowsByCategory(const QList<AutostartEntry>& allRows) {
    QHash<QString, qsizetype> perPlace;
    for (const AutostartEntry& row : allRows)
        ++perPlace[row.backupKind];
    QHash<QString, qsizetype> counts;
    for (const Category& category : allCategories()) {
        if (category.places.isEmpty())
            continue;
        qsizetype count = 0;
        for (const Place* place : category.places)
            count += perPlace.value(place->backupKind);
        counts.insert(category.key, count);
    }
    return counts;
}

} // namespace sw
