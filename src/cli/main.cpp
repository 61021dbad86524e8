#include "app/program_files.h"
#include "entries/check_list.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "platform/language_texts.h"
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

void print(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("startwarden-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SW_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lists the autostart entries of a Wine prefix.\n\n"
                                                    "Commands:\n  list [CATEGORY]  the rows a category lists "
                                                    "(default ALL)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("prefix"),
                      QStringLiteral("The Wine prefix (default: $WINEPREFIX, else ~/.wine)."),
                      QStringLiteral("DIR")});
    parser.addOption(
        {QStringLiteral("json"), QStringLiteral("Print a JSON array instead of tab-separated lines.")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list"));
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
    if (command != QLatin1String("list"))
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
    texts.SetProgramName(QStringLiteral("StartWarden"));
    texts.LoadLanguage(sw::languageSetting(files.defaultLanguageFile()));

    const sw::Platform platform = sw::makeWinePlatform(prefix.folder());
    QList<sw::AutostartEntry> rows = sw::listCategory({platform, texts, false}, category);
    sw::applyCheckList(files.checkList(), rows);
    print(parser.isSet(QStringLiteral("json")) ? sw::formatRowsAsJson(rows, texts)
                                               : sw::formatRowsAsText(rows, texts));
    return 0;
}
