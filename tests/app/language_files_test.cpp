#include "platform/language_texts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
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

QSet<QString> keysOf(const QHash<QString, QString>& section) {
    return QSet<QString>(section.keyBegin(), section.keyEnd());
}

} // namespace

class LanguageFilesTest : public QObject {
    Q_OBJECT

private slots:
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
                QVERIFY2(equals > 0, where);
                QVERIFY2(!line.mid(equals + 1).trimmed().isEmpty(), where);
                const QString key = line.left(equals).trimmed();
                QVERIFY2(!seen.contains(key),
                         qPrintable(QStringLiteral("%1: duplicate key %2").arg(name, key)));
                seen.insert(key);
            }
        }
    }

    // Both languages have the same keys, and the same placeholders in each text: a placeholder lost in
    // translation shows the user a message without the entry it is about.
    void languagesHaveTheSameKeysAndPlaceholders() {
        const LanguageFile english = load(QStringLiteral("english.lng"));
        const LanguageFile german = load(QStringLiteral("german.lng"));
        const QSet<QString> en = keysOf(english.texts);
        const QSet<QString> de = keysOf(german.texts);
        QVERIFY2(en == de,
                 qPrintable(QStringList((en - de).values() + (de - en).values()).join(QLatin1Char(' '))));
        static const QRegularExpression placeholder(QStringLiteral("%[A-Z]+%"));
        for (auto it = english.texts.cbegin(); it != english.texts.cend(); ++it) {
            QStringList wanted;
            for (const auto& match : placeholder.globalMatch(it.value()))
                wanted << match.captured();
            QStringList found;
            for (const auto& match : placeholder.globalMatch(german.texts.value(it.key())))
                found << match.captured();
            wanted.sort();
            found.sort();
            QVERIFY2(wanted == found, qPrintable(it.key()));
        }
    }

    // The windows ask for these keys; without them the user sees the bare key.
    void keysTheProgramAsksForExist() {
        const LanguageFile english = load(QStringLiteral("english.lng"));
        const QStringList required =
            QStringLiteral(
                "AlreadyRunning All Startmenu Registry LocalUsr Run RunOnce AllUsr LocalServices "
                "MsgErrSWFileNotFound DesFileLang Yes No SMLocalUsr SMAllUsr LURun LURunOnce AURun AURunOnce "
                "NoIndication NoReference Company DBNoEntry Add Edit NewEntry ChoosePlease MsgDeactivateReq "
                "MsgExecuteReq MsgExecuteSuc MsgDeleteReq ChooseEntryPlace SearchFile StartmenuDes "
                "StartmenuUsrDes "
                "StartmenuCommonDes RegDes RegUsrDes RegUsrRunDes RegUsrRunOnceDes RegCommonDes "
                "RegCommonRunDes "
                "RegCommonRunOnceDes MsgErrNoPrivileges MsgDelBackupReq MsgRestoreBackupReq ReportForm "
                "MsgErrReportSend MsgReportSendSuc MainWinTit add edit deactivate delete execute refresh "
                "report backup "
                "Dirlist details addTip editTip deactivateTip deleteTip executeTip refreshTip reportTip "
                "backupTip "
                "DirlistTip detailsTip name program Valid Active Place place BackupWinTit Del Restore Close "
                "Cancel OK "
                "TargetSW TargetSWDes MoveWinTit ReportWinTit ReportTit ReportDes NameSW ProgrammSW "
                "ReportSending "
                "ReportSendYes "
                "ReportSendNo MsgNotAPrefix PrefixReadOnly MsgWriteRefused")
                .split(QLatin1Char(' '));
        for (const QString& key : required)
            QVERIFY2(english.texts.contains(key), qPrintable(key));
        for (const QString& key : {QStringLiteral("MsgDeactivateReq"), QStringLiteral("MsgDeleteReq"),
                                   QStringLiteral("MsgExecuteReq"), QStringLiteral("MsgDelBackupReq"),
                                   QStringLiteral("MsgRestoreBackupReq"), QStringLiteral("MsgWriteRefused")})
            QVERIFY2(english.texts.value(key).contains(QLatin1String("%ENTRY%")), qPrintable(key));
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

    // The built-in English is the shipped file, so a language that lacks a key falls back to it.
    void builtInEnglishFillsGaps() {
        LanguageTexts texts;
        QVERIFY(texts.LoadLanguage(kLanguageDir + QStringLiteral("/german.lng")));
        QCOMPARE(texts.GetInfo(QStringLiteral("HelpFile")), QStringLiteral("german.html"));
        QCOMPARE(texts.textForEntry(QStringLiteral("MsgDeleteReq"), QStringLiteral("Tool"))
                     .count(QStringLiteral("„Tool“")),
                 1);
        LanguageTexts builtIn;
        QCOMPARE(builtIn.GetText(QStringLiteral("MainWinTit")), QStringLiteral("Tidyra StartWarden"));
        QCOMPARE(builtIn.GetInfo(QStringLiteral("HelpFile")), QStringLiteral("english.html"));
    }
};

QTEST_GUILESS_MAIN(LanguageFilesTest)
#include "language_files_test.moc"
