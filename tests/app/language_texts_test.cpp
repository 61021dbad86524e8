#include "app/program_files.h"
#include "platform/language_texts.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {
QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}
} // namespace

class LanguageTextsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void loadedTextsWinAndMissingKeysFallBackToEnglishThenTheKey() {
        QTemporaryDir dir;
        const QString path = write(dir, "german.lng",
                                   "# comment\n[Info]\nHelpFile = german.html\n[Texts]\nYes=Ja\n"
                                   "MsgTwoLines=eins\\nzwei \\\\ drei\n");
        LanguageTexts texts;
        QVERIFY(texts.LoadLanguage(path));
        QCOMPARE(texts.GetText("Yes"), QStringLiteral("Ja"));
        QCOMPARE(texts.GetText("MsgTwoLines"), QStringLiteral("eins\nzwei \\ drei"));
        QCOMPARE(texts.GetInfo("HelpFile"), QStringLiteral("german.html"));
        QCOMPARE(texts.GetText("No"), QStringLiteral("No")); // from the built-in English
        QVERIFY(!texts.GetText("LURun").isEmpty());
        QCOMPARE(texts.GetText("NoSuchKeyAnywhere"), QStringLiteral("NoSuchKeyAnywhere"));
    }

    void badFilesLeaveEnglishInForce() {
        QTemporaryDir dir;
        const QList<QByteArray> bad = {"", "\xff\xfe\x00garbage\x00\x01",
                                       "no equals sign\n=value only\n[Texts\n", QByteArray(1000, '[')};
        for (const QByteArray& content : bad) {
            LanguageTexts texts;
            texts.LoadLanguage(write(dir, "bad.lng", content));
            QCOMPARE(texts.GetText("Yes"), QStringLiteral("Yes"));
        }
        LanguageTexts texts;
        QVERIFY(!texts.LoadLanguage(dir.filePath("missing.lng")));
        QVERIFY(!texts.LoadLanguage(dir.path())); // a folder
        QCOMPARE(texts.GetText("Yes"), QStringLiteral("Yes"));
    }

    void entryNamesAreInsertedOnce() {
        QTemporaryDir dir;
        LanguageTexts texts;
        QVERIFY(
            texts.LoadLanguage(write(dir, "x.lng", "[Texts]\nMsgDeleteReq=Delete %ENTRY% now? (%ENTRY%)\n")));
        QCOMPARE(texts.textForEntry("MsgDeleteReq", "100% %ENTRY%"),
                 QStringLiteral("Delete 100% %ENTRY% now? (100% %ENTRY%)"));
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
        const ProgramFiles files{dir.filePath("Program")};
        QCOMPARE(files.helpFile("english.html"),
                 QFileInfo(dir.filePath("Help/english.html")).canonicalFilePath());
        QVERIFY(files.helpFile("../secret.txt").isEmpty());
        QVERIFY(files.helpFile("/etc/passwd").isEmpty());
        QVERIFY(files.helpFile("missing.html").isEmpty());
        QVERIFY(files.helpFile("").isEmpty());
        QFile::link(dir.filePath("secret.txt"), dir.filePath("Help/link.html"));
        QVERIFY(files.helpFile("link.html").isEmpty());
    }
};

QTEST_GUILESS_MAIN(LanguageTextsTest)
#include "language_texts_test.moc"
