#include "db_writer.h"

#include "db_checks.h"
#include "db_examples.h"
#include "info/description_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace sw::dbcompiler {

namespace {

constexpr int kMaxRecords = std::numeric_limits<qint16>::max();
constexpr qsizetype kMaxFieldBytes = std::numeric_limits<quint16>::max();

void appendInt16(QByteArray& out, quint16 value) {
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

// Appends one text field; reports texts that the file format cannot hold.
void appendText(QByteArray& out, const QString& text, const SourceRecord& record, const QString& what,
                Diagnostics& diagnostics) {
    QByteArray bytes;
    if (!encodeWindows1252(text, bytes)) {
        diagnostics.add(record.fileName, record.line,
                        QStringLiteral("%1 has characters that Windows-1252 cannot encode").arg(what));
        return;
    }
    if (bytes.size() > kMaxFieldBytes) {
        diagnostics.add(record.fileName, record.line,
                        QStringLiteral("%1 is %2 bytes long; at most %3 fit")
                            .arg(what)
                            .arg(bytes.size())
                            .arg(kMaxFieldBytes));
        return;
    }
    appendInt16(out, quint16(bytes.size()));
    out.append(bytes);
}

} // namespace

QString descriptionFileName(const QString& languageCode) {
    static const QMap<QString, QString> names = {
        {QStringLiteral("cs"), QStringLiteral("Czech")},
        {QStringLiteral("da"), QStringLiteral("Danish")},
        {QStringLiteral("de"), QStringLiteral("German")},
        {QStringLiteral("en"), QStringLiteral("English")},
        {QStringLiteral("es"), QStringLiteral("Spanish")},
        {QStringLiteral("fi"), QStringLiteral("Finnish")},
        {QStringLiteral("fr"), QStringLiteral("French")},
        {QStringLiteral("hu"), QStringLiteral("Hungarian")},
        {QStringLiteral("it"), QStringLiteral("Italian")},
        {QStringLiteral("nl"), QStringLiteral("Dutch")},
        {QStringLiteral("no"), QStringLiteral("Norwegian")},
        {QStringLiteral("pl"), QStringLiteral("Polish")},
        {QStringLiteral("pt"), QStringLiteral("Portuguese")},
        {QStringLiteral("sv"), QStringLiteral("Swedish")},
        {QStringLiteral("tr"), QStringLiteral("Turkish")},
    };
    const QString name = names.value(languageCode);
    return name.isEmpty() ? QString() : QStringLiteral("Des_%1.dat").arg(name);
}

bool compileDatabase(const QList<SourceRecord>& records, CompiledDatabase& out, Diagnostics& diagnostics) {
    const qsizetype errorsBefore = diagnostics.errors.size();
    if (records.isEmpty())
        diagnostics.errors.append(QStringLiteral("no records: the database needs at least one"));
    if (records.size() > kMaxRecords)
        diagnostics.errors.append(QStringLiteral("%1 records; the file format holds at most %2")
                                      .arg(records.size())
                                      .arg(kMaxRecords));

    QStringList languages;
    for (const SourceRecord& record : records) {
        for (const QString& code : record.descriptions.keys()) {
            if (!languages.contains(code))
                languages.append(code);
        }
    }
    std::sort(languages.begin(), languages.end());
    if (!records.isEmpty() && languages.isEmpty())
        diagnostics.errors.append(QStringLiteral("no descriptions: give at least one language, e.g. \"en\""));
    for (const QString& code : languages) {
        if (descriptionFileName(code).isEmpty())
            diagnostics.errors.append(
                QStringLiteral("language \"%1\" has no description file name").arg(code));
    }

    out = CompiledDatabase{};
    appendInt16(out.searchIndex, quint16(std::min<qsizetype>(records.size(), kMaxRecords)));
    for (const SourceRecord& record : records) {
        appendInt16(out.searchIndex, quint16(record.risk));
        appendText(out.searchIndex, record.filePattern, record, QStringLiteral("file pattern"), diagnostics);
        appendText(out.searchIndex, record.companyPattern, record, QStringLiteral("company pattern"),
                   diagnostics);
        appendText(out.searchIndex, record.namePattern, record, QStringLiteral("name pattern"), diagnostics);
        for (const QString& code : languages) {
            QByteArray& file = out.descriptionFiles[descriptionFileName(code)];
            if (!record.descriptions.contains(code)) {
                diagnostics.add(record.fileName, record.line,
                                QStringLiteral("record has no \"%1\" description").arg(code));
                continue;
            }
            appendText(file, record.descriptions.value(code), record,
                       QStringLiteral("\"%1\" description").arg(code), diagnostics);
            appendText(file, record.links.join(u'|'), record, QStringLiteral("link list"), diagnostics);
        }
    }
    return diagnostics.errors.size() == errorsBefore;
}

QList<SourceRecord> readSources(const QStringList& sourcePaths, Diagnostics& diagnostics) {
    QStringList paths = sourcePaths;
    std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    QList<SourceRecord> records;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            diagnostics.errors.append(QStringLiteral("%1: cannot read: %2").arg(path, file.errorString()));
            continue;
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(file.readAll());
        if (utf8.hasError()) {
            diagnostics.errors.append(QStringLiteral("%1: not valid UTF-8").arg(path));
            continue;
        }
        records.append(parseSource(path, text, diagnostics));
    }
    checkRecords(records, diagnostics);
    diagnostics.errors.append(checkExamples(records).failures);
    return records;
}

bool writeDatabase(const CompiledDatabase& compiled, const QString& outputDir, Diagnostics& diagnostics) {
    if (!QDir().mkpath(outputDir)) {
        diagnostics.errors.append(QStringLiteral("%1: cannot create the folder").arg(outputDir));
        return false;
    }
    QMap<QString, QByteArray> files = compiled.descriptionFiles;
    files.insert(QStringLiteral("Search.dat"), compiled.searchIndex);
    const qsizetype errorsBefore = diagnostics.errors.size();
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QSaveFile file(QDir(outputDir).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size() || !file.commit())
            diagnostics.errors.append(
                QStringLiteral("%1: cannot write: %2").arg(file.fileName(), file.errorString()));
    }
    return diagnostics.errors.size() == errorsBefore;
}

bool compileSources(const QStringList& sourcePaths, const QString& outputDir, Diagnostics& diagnostics) {
    const QList<SourceRecord> records = readSources(sourcePaths, diagnostics);
    CompiledDatabase compiled;
    if (!compileDatabase(records, compiled, diagnostics) || !diagnostics.errors.isEmpty())
        return false;
    return writeDatabase(compiled, outputDir, diagnostics);
}

} // namespace sw::dbcompiler
