#pragma once

#include "autostart_entry.h"

#include <QList>
#include <QString>
#include <cstdint>

namespace sw {

class LanguageTexts;
struct Platform;
struct Place;

// What a listing reads: the managed system and the texts of the place labels.
struct ListingContext {
    const Platform& platform;
    const LanguageTexts& texts;
};

// One row per value of a Run or RunOnce key, in the store's order; a key that cannot be read adds
// none.
QList<AutostartEntry> listRegistryKey(const ListingContext& context, std::int32_t root,
                                      const QString& keyPath, const QString& label);

// One row per file of a Startup folder (folder given with its trailing "\"); system files and
// sub-folders are left out.
QList<AutostartEntry> listStartmenuFolder(const ListingContext& context, const QString& folder,
                                          const QString& label);

// The rows of one place.
QList<AutostartEntry> listPlace(const ListingContext& context, const Place& place);

// The rows of a category, its places in their fixed order. Unknown keys list none.
QList<AutostartEntry> listCategory(const ListingContext& context, const QString& categoryKey);

} // namespace sw
