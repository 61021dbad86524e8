#include "listing.h"

#include "platform/platform.h"
#include "program_file.h"

#include <QHash>

namespace sw {

namespace {
const QString kInactivePrefix = QStringLiteral("REM ");
} // namespace

QList<AutostartEntry> listRegistryKey(const ListingContext& context, std::int32_t root,
                                      const QString& keyPath, const QString& label) {
    QList<AutostartEntry> rows;
    const Platform& platform = context.platform;
    std::unique_ptr<RegistryStore> store;
    QList<RegistryValueText> values;
    try {
        store = platform.newRegistryStore();
        values = store->readValues(root, keyPath);
    } catch (const std::exception&) {
        return rows;
    }
    const QString skipped = store->skippedValueName();
    const QString tag = makeEntryTag(root, keyPath);
    const bool readByWine = !keyPath.contains(QLatin1String("Wow6432Node"), Qt::CaseInsensitive) ||
                            platform.system->has32BitView();
    rows.reserve(values.size());
    // Rows of a key often start the same program: each command line is resolved once.
    QHash<QString, std::pair<QString, bool>> resolved;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values[i].name == skipped)
            continue;
        AutostartEntry row;
        row.name = values[i].name;
        // Name and position alone repeat across keys; the tag keeps keys of different places apart.
        row.rowKey = values[i].name + QString::number(i) + QLatin1Char('@') + tag;
        row.placeLabel = label;
        row.tag = tag;
        row.plainString = values[i].type == kRegistryString;
        row.readByWine = readByWine;
        QString data = values[i].data;
        row.active = data.left(4).toUpper() != kInactivePrefix;
        if (!row.active)
            data.remove(0, 4);
        row.program = data;
        if (const auto known = resolved.constFind(row.program); known != resolved.cend()) {
            row.programFile = known->first;
            row.valid = known->second;
        } else {
            resolveProgramFile(platform, row);
            resolved.insert(row.program, {row.programFile, row.valid});
        }
        rows.append(std::move(row));
    }
    return rows;
}

} // namespace sw
