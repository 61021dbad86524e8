#pragma once

#include "info/entry_information.h"

#include <QJsonObject>
#include <QStringList>

namespace sw {

// The rating as a word: "missing", "unknown", "normal" or "risk".
QString ratingName(EntryRating rating);

// What the information panel shows: rating, title, company, description and the links as
// "text;address" items joined by "|".
QStringList informationFields(const EntryInformation& info);
// The same, to be merged into a row's object.
QJsonObject informationObject(const EntryInformation& info);

} // namespace sw
