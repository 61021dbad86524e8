#include "platform/wine/lnk_shortcut_file.h"
#include "platform/wine/shell_link.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace sw;

namespace {

const QString kTool = QStringLiteral("C:\\Program Files\\Tool\\tool.exe");
const QString kUmlaut = QStringLiteral("C:\\Programme\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe");
const QString kJapanese = QStringLiteral("C:\\\u65e5\u672c\\\u30c4\u30fc\u30eb.exe");

// A mapper for a fake drive C: below a temporary folder.
LnkShortcutFile::PathMapper driveC(const QString& root) {
    return [root](const QString& path) {
        if (!path.startsWith(QStringLiteral("C:\\"), Qt::CaseInsensitive)) {
            return QString();
        }
        return root + u'/' + path.mid(3).replace(u'\\', u'/');
    };
}

QString lnkinfo(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("lnkinfo"), {file});
    if (!process.waitForFinished(10000)) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class ShortcutWriterTest : public QObject {
    Q_OBJECT

private slots:
    // The layout Wine, lnkinfo and our reader were checked against, byte for byte.
    void matchesGoldenLayout() {
        ShellLinkOptions options;
        options.workingDir = QStringLiteral("C:\\Program Files\\Tool");
        QFile golden(test::fixture("tool_full.lnk"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(buildShellLink(kTool, options).toHex(' '), golden.readAll().toHex(' '));
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("wineView"); // the ANSI copy, all Wine reads
        auto row = [](const char* name, const QString& target, const QString& wineView) {
            QTest::newRow(name) << target << wineView;
        };
        row("ascii", kTool, kTool);
        row("umlaut", kUmlaut, kUmlaut);
        row("outside cp1252", kJapanese, QStringLiteral("C:\\??\\???.exe"));
        for (const char* target :
             {"D:\\x.exe", "%ProgramFiles%\\Tool\\tool.exe", "\\\\server\\share\\tool.exe"})
            row(target, target, target);
    }

    void roundTrip() {
        QFETCH(QString, target);
        QFETCH(QString, wineView);
        ShellLinkOptions options;
        options.arguments = QStringLiteral("--quiet \"a b\"");
        options.description = QStringLiteral("D\u00e9j\u00e0");
        options.workingDir = QStringLiteral("C:\\work");
        const QByteArray bytes = buildShellLink(target, options);
        const ShellLink link = parseShellLink(bytes);
        QCOMPARE(link.target, target);
        QCOMPARE(link.arguments, options.arguments);
        QCOMPARE(link.description, options.description);
        QCOMPARE(link.workingDir, options.workingDir);
        QVERIFY(!link.damaged);
        if (target[1] == u':') {
            QCOMPARE(link.idListTarget, target);
            QCOMPARE(link.linkInfoTarget, target);
        }
        // The NUL-terminated Windows-1252 local path Wine reads (Latin-1 for these rows).
        QVERIFY(bytes.contains(wineView.toLatin1() + '\0'));
    }

    void lnkinfoReadsWhatWeWrite_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("ascii") << kTool;
        QTest::newRow("umlaut") << kUmlaut;
    }

    void lnkinfoReadsWhatWeWrite() {
        QFETCH(QString, target);
        if (QStandardPaths::findExecutable("lnkinfo").isEmpty()) {
            QSKIP("lnkinfo (liblnk-utils) is not installed");
        }
        QTemporaryDir dir;
        LnkShortcutFile shortcut(driveC(dir.path()));
        ShortcutInfo info;
        info.target = target;
        info.workingPath = target; // as the program fills it
        shortcut.CreateShortcut(QStringLiteral("C:\\a.lnk"), info);
        const QString out = lnkinfo(dir.filePath("a.lnk"));
        QVERIFY2(out.contains(QStringLiteral("Local path\t\t\t: ") + target), qPrintable(out));
        const QString folder = target.section(u'\\', 0, -2);
        QVERIFY2(out.contains(QStringLiteral("Working directory\t\t: ") + folder), qPrintable(out));
        QCOMPARE(out.count(QStringLiteral("Long name")), target.count(u'\\') - 1 + 1);
        for (const QString& part : target.mid(3).split(u'\\')) {
            QVERIFY2(out.contains(QStringLiteral(": ") + part + u'\n'), qPrintable(part));
        }
    }

    void createReplacesAtomically() {
        QTemporaryDir dir;
        LnkShortcutFile shortcut(driveC(dir.path()));
        ShortcutInfo info;
        info.target = kUmlaut;
        shortcut.CreateShortcut(QStringLiteral("C:\\a.lnk"), info);
        info.target = kTool;
        shortcut.CreateShortcut(QStringLiteral("C:\\a.lnk"), info);
        shortcut.LoadShortcut(QStringLiteral("C:\\a.lnk"));
        QCOMPARE(shortcut.GetTarget(), kTool);
        QCOMPARE(shortcut.link().workingDir, "C:\\Program Files\\Tool");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.lnk"});

        // A failed write leaves the old link behind (root writes anyway, so only for users).
        if (::geteuid() != 0) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            info.target = kJapanese;
            QVERIFY_THROWS_EXCEPTION(ShortcutError,
                                     shortcut.CreateShortcut(QStringLiteral("C:\\a.lnk"), info));
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            shortcut.LoadShortcut(QStringLiteral("C:\\a.lnk"));
            QCOMPARE(shortcut.GetTarget(), kTool);
        }

        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.CreateShortcut("C:\\missing\\b.lnk", info));
        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.CreateShortcut("Z:\\b.lnk", info));
        QVERIFY_THROWS_EXCEPTION(ShortcutError, buildShellLink(QString()));
    }
};

QTEST_GUILESS_MAIN(ShortcutWriterTest)
#include "shortcut_writer_test.moc"
