#include "app/database_check.h"
#include "app/program_files.h"
#include "entries/check_list.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "info/description_database.h"
#include "info_format.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"
#include "row_format.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <cstdio>

namespace {

constexpr int kUsageError = 2;

int fail(const QString& message) {
    std::fprintf(stderr, "startwarden-cli: %s\n", qPrintable(message));
    return kUsageError;
}

// The database loaders' messages go to the error stream.
class StderrMessages : public sw::MessageBoxes {
public:
    sw::MessageAnswer show(const QString& text, const QString& title, sw::MessageIcon,
                           sw::MessageButtons) override {
        std::fprintf(stderr, "startwarden-cli: %s: %s\n", qPrintable(title), qPrintable(text));
        return sw::MessageAnswer::Ok;
    }
};

void print(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("startwarden-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SW_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the autostart entries of a Wine prefix.\n\n"
                       "Commands:\n  list [CATEGORY]  the rows a category lists "
                       "(default ALL)\n  info [CATEGORY]  the same rows with their "
                       "rating, title, company, description and links"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("prefix"),
                      QStringLiteral("The Wine prefix (default: $WINEPREFIX, else ~/.wine)."),
                      QStringLiteral("DIR")});
    parser.addOption(
        {QStringLiteral("json"), QStringLiteral("Print a JSON array instead of tab-separated lines.")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list or info"));
    parser.addPositionalArgument(QStringLiteral("category"),
                                 QStringLiteral("A category key, such as ALL or LOCAL RUN."));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return fail(QStringLiteral("no command given; try --help"));
    const QString command = arguments.first();
    if (command != QLatin1String("list") && command != QLatin1String("info"))
        return fail(QStringLiteral("unknown command \"%1\"; try --help").arg(command));
    if (arguments.size() > 2)
        return fail(QStringLiteral("too many arguments; quote a category that holds blanks"));
    const QString category = arguments.size() > 1 ? arguments[1] : QStringLiteral("ALL");
    if (!sw::categoryKeys().contains(category))
        return fail(QStringLiteral("unknown category \"%1\"; one of: %2")
                        .arg(category, sw::categoryKeys().join(QStringLiteral(", "))));

    const sw::WinePrefix prefix(sw::WinePrefix::chooseFolder(parser.value(QStringLiteral("prefix")),
                                                             QProcessEnvironment::systemEnvironment()));
    if (!prefix.isValid())
        return fail(prefix.problem());

    const sw::ProgramFiles files{QCoreApplication::applicationDirPath()};
    sw::LanguageTexts texts;
    sw::loadUserLanguage(texts, files);

    const sw::Platform platform = sw::makeWinePlatform(prefix.folder());
    QList<sw::AutostartEntry> rows = sw::listCategory({platform, texts, false}, category);
    sw::applyCheckList(files.checkList(), rows);
    const bool json = parser.isSet(QStringLiteral("json"));
    sw::DescriptionDatabase database;
    if (command == QLatin1String("info")) {
        StderrMessages messages;
        sw::loadDescriptionDatabase(files, texts, messages, database);
    }
    QList<QStringList> lines;
    QJsonArray objects;
    for (const sw::AutostartEntry& row : rows) {
        // Only the form that is printed is built: JSON objects cost more than the listing.
        const sw::EntryInformation info = command == QLatin1String("info")
                                              ? sw::describeEntry(platform, database, row, false)
                                              : sw::EntryInformation{};
        if (!json) {
            QStringList fields = sw::rowFields(row, texts);
            if (command == QLatin1String("info"))
                fields += sw::informationFields(info);
            lines.append(fields);
            continue;
        }
        QJsonObject object = sw::rowObject(row, texts);
        if (command == QLatin1String("info")) {
            const QJsonObject extra = sw::informationObject(info);
            for (auto it = extra.begin(); it != extra.end(); ++it)
                object.insert(it.key(), it.value());
        }
        objects.append(object);
    }
    print(json ? sw::formatJson(objects) : sw::formatLines(lines));
    return 0;
}
