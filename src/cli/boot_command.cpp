// boot: what the next start of Wine on the prefix and the next wineboot will run, in Wine's order.
#include "cli_context.h"
#include "entries/wine_starts.h"
#include "row_format.h"

#include <QJsonDocument>

namespace sw::cli {

namespace {

QJsonArray objectsOf(const QList<AutostartEntry>& rows) {
    QJsonArray objects;
    for (const AutostartEntry& row : rows) {
        QJsonObject object = rowObject(row);
        object.insert(QStringLiteral("starts"), wineStartName(wineStartOfRow(row)));
        objects.append(object);
    }
    return objects;
}

void appendLines(QByteArray& lines, const QString& when, const QList<AutostartEntry>& rows) {
    for (const AutostartEntry& row : rows)
        appendLine(lines, {when, row.name, row.program, row.placeLabel, row.tag,
                           wineStartName(wineStartOfRow(row))});
}

} // namespace

int runBootCommand(Context& context) {
    if (!context.arguments.isEmpty())
        return fail(kUsageError, QStringLiteral("boot takes no arguments"));
    if (const QString reason = context.platform.readOnlyReason(); !reason.isEmpty())
        fail(kDone, reason + QStringLiteral(" The next start comes after this session has ended."));
    const WineRunOrder order = wineRunOrder(listAllPlaces(context.platform, context.texts));
    if (context.json) {
        const QJsonObject plan{{"start", objectsOf(order.nextStart)},
                               {"wineboot", objectsOf(order.nextBoot)}};
        print(QJsonDocument(plan).toJson(QJsonDocument::Indented));
        return kDone;
    }
    QByteArray lines;
    appendLines(lines, QStringLiteral("start"), order.nextStart);
    appendLines(lines, QStringLiteral("wineboot"), order.nextBoot);
    print(lines);
    return kDone;
}

} // namespace sw::cli
