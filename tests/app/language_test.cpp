// The shipped language files, the texts loaded from them, the setting naming the file and the help
// files a language names.
#include "app/program_files.h"
#include "fixture_bytes.h"
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

    // Both languages have the same keys, each with a text and the same placeholders: a placeholder lost
    // in translation shows the user a message without the entry it is about. Every key the sources name
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
            QVERIFY2(placeholders(it.value()) == placeholders(german.texts.value(it.key())) &&
                         !it.value().trimmed().isEmpty() && !german.texts.value(it.key()).trimmed().isEmpty(),
                     qPrintable(it.key()));
        // The parser quietly drops a malformed line and a repeated key, which would turn a typo into a
        // missing text: every line that is no comment or section header must give a text of its own.
        for (const QString& name : kLanguageFiles) {
            int lines = 0;
            for (const QByteArray& raw :
                 test::fileBytes(kLanguageDir + QLatin1Char('/') + name).split('\n')) {
                const QByteArray line = raw.trimmed();
                lines += !line.isEmpty() && !line.startsWith('#') && !line.startsWith('[');
            }
            const LanguageFile file = load(name);
            QCOMPARE(lines, int(file.texts.size() + file.info.size()));
        }

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
        }
    }

    // A loaded file wins; a key it lacks comes from the built-in English (the shipped file), else the
    // key itself shows.
    void loadedTextsFallBackToEnglishThenTheKey() {
        QTemporaryDir dir;
        LanguageTexts texts;
        QVERIFY(texts.LoadLanguage(test::writeBytes(
            dir.filePath("german.lng"), "# comment\n[Info]\nHelpFile = german.html\n[Texts]\nYes=Ja\n"
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
            damaged.LoadLanguage(test::writeBytes(dir.filePath("bad.lng"), bad));
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
        test::writeBytes(dir.filePath("Help/english.html"), "<html/>");
        test::writeBytes(dir.filePath("secret.txt"), "x");
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
