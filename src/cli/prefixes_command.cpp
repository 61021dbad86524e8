// prefixes, --prefix NAME and --all-prefixes: the Wine prefixes the search finds on this machine.
#include "base/program_files.h"
#include "cli_context.h"
#include "info/description_database.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"
#include "prefixes/prefix_finder.h"
#include "prefixes/prefix_settings.h"
#include "prefixes/prefix_status.h"
#include "row_format.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace sw::cli {

namespace {

PrefixSearch search(bool withNotes) {
    PrefixSearch found = findPrefixes(userPrefixSearchPlaces(QProcessEnvironment::systemEnvironment()));
    if (withNotes)
        for (const PrefixSearchNote& note : found.notes)
            fail(kDone, QStringLiteral("skipped %1: %2").arg(note.file, note.reason));
    return found;
}

// True when the found folder can be listed; else the sentence why not is printed as a note.
bool listable(const FoundPrefix& prefix, const char* notListed) {
    const QString problem = WinePrefix(prefix.path).problem();
    if (!problem.isEmpty())
        fail(kDone, QStringLiteral("%1 %2: %3").arg(QLatin1String(notListed), prefix.name, problem));
    return problem.isEmpty();
}

} // namespace

int choosePrefixFolder(const QCommandLineParser& parser, QString& folder) {
    const QString value = parser.value(QStringLiteral("prefix"));
    folder = WinePrefix::chooseFolder(value, QProcessEnvironment::systemEnvironment());
    if (value.isEmpty() || QFileInfo::exists(folder))
        return kDone;
    const std::vector<FoundPrefix> named = prefixesNamed(search(false).prefixes, value);
    if (named.size() == 1)
        folder = named.front().path;
    if (named.size() <= 1)
        return kDone; // no such name either: the folder's own sentence follows
    QString text =
        QStringLiteral("\"%1\" names several prefixes; give one's folder with --prefix:").arg(value);
    for (const FoundPrefix& prefix : named)
        text +=
            QStringLiteral("\n  %1 (%2) %3").arg(prefix.name, prefixSourceKey(prefix.source), prefix.path);
    return fail(kNoSuchEntry, text);
}

int runPrefixesCommand(const QCommandLineParser& parser, const QStringList& arguments, LanguageTexts& texts) {
    if (!arguments.isEmpty())
        return fail(kUsageError, QStringLiteral("prefixes takes no arguments"));
    const bool json = parser.isSet(QStringLiteral("json"));
    QByteArray lines;
    QJsonArray objects;
    for (const FoundPrefix& prefix : search(true).prefixes) {
        PrefixStatus status;
        if (listable(prefix, "not counted"))
            status = prefixStatus(makeWinePlatform(prefix.path), texts);
        if (json)
            objects.append(QJsonObject{{"name", prefix.name},
                                       {"source", prefixSourceKey(prefix.source)},
                                       {"path", prefix.path},
                                       {"entries", status.entries},
                                       {"running", status.running}});
        else
            appendLine(lines, {prefix.name, prefixSourceKey(prefix.source), prefix.path,
                               QString::number(status.entries),
                               texts.getText(status.running ? QStringLiteral("Yes") : QStringLiteral("No"))});
    }
    print(json ? formatJson(objects) : lines);
    return kDone;
}

int runAllPrefixesCommand(const QCommandLineParser& parser, const QStringList& arguments,
                          LanguageTexts& texts, bool withInformation) {
    if (parser.isSet(QStringLiteral("prefix")))
        return fail(kUsageError, QStringLiteral("--all-prefixes and --prefix exclude each other"));
    QString category;
    if (const int status = listedCategory(arguments, category))
        return status;
    const QString program = QCoreApplication::applicationDirPath();
    const bool json = parser.isSet(QStringLiteral("json"));
    DescriptionDatabase database;
    ListOutput out;
    int result = kDone;
    bool checked = false;
    for (const FoundPrefix& prefix : search(true).prefixes) {
        if (!listable(prefix, "skipped"))
            continue;
        Context context{
            parser, arguments,  ProgramFiles(program, prefix.path), texts, makeWinePlatform(prefix.path),
            json,   prefix.name};
        if (withInformation && !checked)
            loadDatabase(context.files, texts, database);
        checked = true;
        if (listInto(context, category, withInformation ? &database : nullptr, out) != kDone)
            result = kChangeFailed;
    }
    print(json ? formatJson(out.objects) : out.lines);
    return result;
}

} // namespace sw::cli
