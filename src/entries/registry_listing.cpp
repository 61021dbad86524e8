#include "listing.h"

#include "platform/platform.h"
#include "program_file.h"

namespace sw {

namespace {
const QString kInactivePrefix = QStringLiteral("REM ");
} // namespace

QList<AutostartEntry> ListRegistryKey(const ListingContext& context, std::int32_t root,
                                      const QString& keyPath, const QString& label) {
    QList<AutostartEntry> rows;
    const Platform& platform = context.platform;
    std::unique_ptr<RegistryStore> store;
    QStringList names;
    QList<std::uint32_t> kinds;
    try {
        store = platform.newRegistryStore();
        if (!store->EnumerateValues(root, keyPath, names, kinds))
            return rows;
    } catch (const std::exception&) {
        return rows;
    }
    const QString skipped = store->SkippedValueName();
    const QString tag = makeEntryTag(root, keyPath);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i] == skipped)
            continue;
        AutostartEntry row;
        row.name = names[i];
        // Name and position alone repeat across keys; the tag keeps keys of different places apart.
        row.rowKey = names[i] + QString::number(i) + QLatin1Char('@') + tag;
        row.placeLabel = label;
        row.tag = tag;
        QString data;
        try {
            data = store->ReadValue(root, keyPath, names[i], i < kinds.size() ? kinds[i] : 0);
        } catch (const std::exception&) {
        }
        row.active = data.left(4).toUpper() != kInactivePrefix;
        if (!row.active)
            data.remove(0, 4);
        row.program = data;
        resolveProgramFile(platform, row);
        rows.append(row);
    }
    return rows;
}

} // namespace sw
