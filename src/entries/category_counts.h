#pragma once

#include "autostart_entry.h"

#include <QHash>
#include <QList>
#include <QString>

namespace sw {

// How many rows each category lists, from the rows of every place: a row counts in every category
// that lists its place.
QHash<QString, qsizetype> countRowsByCategory(const QList<AutostartEntry>& allRows);

} // namespace sw
