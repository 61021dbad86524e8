// The shipped language files, the texts loaded from them, the setting naming the file and the help
// files a language names.
#include "app/program_files.h"
#include "platform/language_texts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

const QString kLanguageDir = QStringLiteral(SW_SOURCE_DIR "/data/languages");
const QStringList kLanguageFiles{QStringLiteral("english.lng"), QStringLiteral("german.lng")};

LanguageFile load(const QString& name) {
    LanguageFile file;
    if (!readLanguageFile(kLanguageDir + QLatin1Char('/') + name, file))
        qFatal("cannot read %s", qPrintable(name));
    return file;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return file.fileName();
}

QStringList placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%[A-Z]+%"));
    QStringList found;
    for (const auto& match : placeholder.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Every line is a comment, a section header or "key=value" with both sides filled: the parser
    // quietly drops anything else, which would turn a typo into a missing text.
    void everyLineIsWellFormed() {
        for (const QString& name : kLanguageFiles) {
            QFile file(kLanguageDir + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            QSet<QString> seen;
            for (int i = 0; i < lines.size(); ++i) {
                const QString line = lines[i].trimmed();
                if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('[')))
                    continue;
                const auto where = qPrintable(QStringLiteral("%1:%2").arg(name).arg(i + 1));
                const qsizetype equals = line.indexOf(QLatin1Char('='));
                QVERIFY2(equals > 0 && !line.mid(equals + 1).trimmed().isEmpty(), where);
                const QString key = line.left(equals).trimmed();
                QVERIFY2(!seen.contains(key), where);
                seen.insert(key);
            }
        }
    }

    // Both languages have the same keys, and the same placeholders in each text: a placeholder lost in
    // translation shows the user a message without the entry it is about. Every key the sources name
    // exists, and the texts an entry is put into hold its placeholder.
    void languagesHaveTheKeysTheProgramAsksFor() {
        const LanguageFile english = load(QStringLiteral("english.lng"));
        const LanguageFile german = load(QStringLiteral("german.lng"));
        const auto keys = [](const LanguageFile& file) {
            return QSet<QString>(file.texts.keyBegin(), file.texts.keyEnd());
        };
        const QSet<QString> en = keys(english), de = keys(german);
        QVERIFY2(en == de, qPrintable(QStringList((en - de).values() + (de - en).values()).join(' ')));
        for (auto it = english.texts.cbegin(); it != english.texts.cend(); ++it)
            QVERIFY2(placeholders(it.value()) == placeholders(german.texts.value(it.key())),
                     qPrintable(it.key()));

        static const QRegularExpression asked(
            QStringLiteral("(GetText|textForEntry)\\((?:QStringLiteral\\(|QLatin1String\\()?\"(\\w+)\""));
        QDirIterator sources(QStringLiteral(SW_SOURCE_DIR "/src"), {QStringLiteral("*.cpp")}, QDir::Files,
                             QDirIterator::Subdirectories);
        int found = 0;
        while (sources.hasNext()) {
            QFile source(sources.next());
            QVERIFY(source.open(QIODevice::ReadOnly));
            for (const auto& match : asked.globalMatch(QString::fromUtf8(source.readAll()))) {
                const QString key = match.captured(2);
                QVERIFY2(english.texts.contains(key), qPrintable(key + " in " + source.fileName()));
                if (match.captured(1) == QLatin1String("textForEntry"))
                    QVERIFY2(english.texts.value(key).contains(QLatin1String("%ENTRY%")), qPrintable(key));
                ++found;
            }
        }
        QVERIFY(found > 20);
    }

    // The backups window finds a backup's restore place by its label, so two equal labels would
    // send a backup to the wrong place.
    void placeLabelsDifferAndInfoNamesExistingFiles() {
        for (const QString& name : kLanguageFiles) {
            const LanguageFile file = load(name);
            QSet<QString> labels;
            for (const char* key : {"LURun", "LURunOnce", "AURun", "AURunOnce", "SMLocalUsr", "SMAllUsr"})
                labels.insert(file.texts.value(QLatin1String(key)));
            QCOMPARE(labels.size(), 6);
            QVERIFY2(!file.info.value(QStringLiteral("Language")).isEmpty(), qPrintable(name));
            const QString help = file.info.value(QStringLiteral("HelpFile"));
            QVERIFY2(!help.isEmpty() && QFile::exists(QStringLiteral(SW_SOURCE_DIR "/data/help/") + help),
                     qPrintable(name));
            QVERIFY(file.texts.value(QStringLiteral("DesFileLang")).startsWith(QLatin1String("Des_")));
        }
    }

    // A loaded file wins; a key it lacks comes from the built-in English (the shipped file), else the
    // key itself shows.
    void loadedTextsFallBackToEnglishThenTheKey() {
        QTemporaryDir dir;
        LanguageTexts texts;
        QVERIFY(texts.LoadLanguage(write(dir, "german.lng",
                                         "# comment\n[Info]\nHelpFile = german.html\n[Texts]\nYes=Ja\n"
                                         "MsgTwoLines=eins\\nzwei \\\\ drei\n"
                                         "MsgDeleteReq=Delete %ENTRY% now? (%ENTRY%)\n")));
        QCOMPARE(texts.GetText("Yes"), QStringLiteral("Ja"));
        QCOMPARE(texts.GetText("MsgTwoLines"), QStringLiteral("eins\nzwei \\ drei"));
        QCOMPARE(texts.GetInfo("HelpFile"), QStringLiteral("german.html"));
        QCOMPARE(texts.GetText("MainWinTit"), QStringLiteral("Tidyra StartWarden"));
        QCOMPARE(texts.GetText("NoSuchKeyAnywhere"), QStringLiteral("NoSuchKeyAnywhere"));
        // An entry name is put in once, even when it holds the placeholder itself.
        QCOMPARE(texts.textForEntry("MsgDeleteReq", "100% %ENTRY%"),
                 QStringLiteral("Delete 100% %ENTRY% now? (100% %ENTRY%)"));
        QVERIFY(texts.LoadLanguage(kLanguageDir + QStringLiteral("/german.lng")));
        QCOMPARE(texts.textForEntry(QStringLiteral("MsgDeleteReq"), QStringLiteral("Tool"))
                     .count(QStringLiteral("„Tool“")),
                 1);
        QCOMPARE(LanguageTexts().GetInfo(QStringLiteral("HelpFile")), QStringLiteral("english.html"));

        for (const QByteArray& bad :
             {QByteArray(), QByteArray("\xff\xfe\x00garbage\x00\x01", 12),
              QByteArray("no equals sign\n=value only\n[Texts\n"), QByteArray(1000, '[')}) {
            LanguageTexts damaged;
            damaged.LoadLanguage(write(dir, "bad.lng", bad));
            QCOMPARE(damaged.GetText("Yes"), QStringLiteral("Yes"));
        }
        LanguageTexts none;
        QVERIFY(!none.LoadLanguage(dir.filePath("missing.lng")));
        QVERIFY(!none.LoadLanguage(dir.path())); // a folder
        QCOMPARE(none.GetText("Yes"), QStringLiteral("Yes"));
    }

    void settingNamesTheLanguageFileAndIsNeverWritten() {
        const QString fallback = QStringLiteral("/nowhere/english.lng");
        QSettings settings(QStringLiteral("Tidyra"), QStringLiteral("Tidyra"));
        settings.remove(QStringLiteral("Settings"));
        settings.sync();
        QCOMPARE(languageSetting(fallback), fallback);
        settings.setValue(QStringLiteral("Settings/Language"), QStringLiteral("/tmp/german.lng"));
        settings.sync();
        QCOMPARE(languageSetting(fallback), QStringLiteral("/tmp/german.lng"));
        const QString file = settings.fileName();
        const QDateTime before = QFileInfo(file).lastModified();
        languageSetting(fallback);
        QCOMPARE(QFileInfo(file).lastModified(), before);
        settings.clear();
        settings.sync();
        // An unreadable settings file gives the default.
        QFile(file).open(QIODevice::WriteOnly);
        QFile::setPermissions(file, QFileDevice::Permissions());
        QVERIFY(!languageSetting(fallback).isEmpty());
        QFile::remove(file);
    }

    void helpFilesStayInsideTheHelpFolder() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("Program");
        QDir(dir.path()).mkpath("Help");
        write(dir, "Help/english.html", "<html/>");
        write(dir, "secret.txt", "x");
        QFile::link(dir.filePath("secret.txt"), dir.filePath("Help/link.html"));
        const ProgramFiles files{dir.filePath("Program")};
        QCOMPARE(files.helpFile("english.html"),
                 QFileInfo(dir.filePath("Help/english.html")).canonicalFilePath());
        for (const char* outside : {"../secret.txt", "/etc/passwd", "missing.html", "", "link.html"})
            QVERIFY2(files.helpFile(outside).isEmpty(), outside);
    }
};

QTEST_GUILESS_MAIN(LanguageTest)
#include "language_test.moc"
