#include "info_format.h"

#include <QJsonArray>

namespace sw {

namespace {

QString titleOf(const EntryInformation& info) {
    if (info.rating == EntryRating::ProgramMissing)
        return {};
    return info.fileName + QStringLiteral(" (") + info.productName + QLatin1Char(')');
}

} // namespace

QString ratingName(EntryRating rating) {
    switch (rating) {
    case EntryRating::ProgramMissing:
        return QStringLiteral("missing");
    case EntryRating::NoRecord:
        return QStringLiteral("unknown");
    case EntryRating::Normal:
        return QStringLiteral("normal");
    case EntryRating::Risk:
        return QStringLiteral("risk");
    }
    return {};
}

QStringList informationFields(const EntryInformation& info) {
    QStringList links;
    for (const Link& link : info.links)
        links << link.text + QLatin1Char(';') + link.address;
    return {ratingName(info.rating), titleOf(info), info.company, info.description,
            links.join(QLatin1Char('|'))};
}

QJsonObject informationObject(const EntryInformation& info) {
    QJsonArray links;
    for (const Link& link : info.links)
        links.append(QJsonObject{{"text", link.text}, {"address", link.address}});
    return QJsonObject{
        {"rating", ratingName(info.rating)}, {"title", titleOf(info)}, {"company", info.company},
        {"description", info.description},   {"links", links},
    };
}

} // namespace sw
