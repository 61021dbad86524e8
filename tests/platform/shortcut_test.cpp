// The .lnk reader on fixtures written by Windows, Wine and tools, and the writer against the golden
// layout, our reader and lnkinfo.
#include "fixture_bytes.h"
#include "platform/wine/lnk_shortcut_file.h"
#include "platform/wine/shell_link.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <unistd.h>

using namespace sw;
using sw::test::fixtureBytes;

namespace {

const QString kTool = "C:\\Program Files\\Tool\\tool.exe";
const QString kUmlaut = "C:\\Programme\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe";
const QString kJapanese = "C:\\\u65e5\u672c\\\u30c4\u30fc\u30eb.exe";

// A copy of `bytes` with a little-endian number written at `at`.
template <typename Number> QByteArray patched(QByteArray bytes, qsizetype at, Number value) {
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

// A mapper for a fake drive C: below a temporary folder.
LnkShortcutFile::PathMapper driveC(const QString& root) {
    return [root](const QString& path) {
        if (!path.startsWith("C:\\", Qt::CaseInsensitive))
            return QString();
        return root + u'/' + path.mid(3).replace(u'\\', u'/');
    };
}

} // namespace

class ShortcutTest : public QObject {
    Q_OBJECT

private slots:
    void fixtureTargets_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        const std::pair<const char*, QString> rows[] = {
            {"ms_shllink_3_1_sample.lnk", "C:\\test\\a.txt"},
            {"NeroInfoTool.lnk", "C:\\Program Files (x86)\\Nero\\Nero 9\\Nero InfoTool\\InfoTool.exe"},
            {"example.lnk", "%windir%\\system32\\migwiz\\migwiz.exe"}, // environment only
            {"unpaired_surrogate.lnk", "C:\\test\\unicode_U+0000d800_\ufffd.exe"},
            {"wine_created.lnk", kTool},
            {"wine_created_missing.lnk", "C:\\Missing\\nothere.exe"},
            {"wine_created_umlaut.lnk", kUmlaut},
            {"tool_full.lnk", kTool},
            {"tool_idlist_only.lnk", kTool},
            {"tool_linkinfo_only.lnk", kTool},
            {"tool_umlaut.lnk", kUmlaut}};
        for (const auto& [file, target] : rows)
            QTest::newRow(file) << QString(file) << target;
    }

    // Through the class with a mapped Windows path, as the program loads links.
    void fixtureTargets() {
        QFETCH(QString, file);
        QFETCH(QString, target);
        LnkShortcutFile shortcut([](const QString& path) { return test::fixture(path.section(u'\\', -1)); });
        shortcut.loadShortcut("C:\\users\\x\\Startup\\" + file);
        QCOMPARE(shortcut.getTarget(), target);
        QVERIFY(!shortcut.link().damaged);
        // Where both are present the Windows view (IDList, long names) must agree with Wine's.
        if (!shortcut.link().idListTarget.isEmpty() && !shortcut.link().linkInfoTarget.isEmpty())
            QCOMPARE(shortcut.link().idListTarget, shortcut.link().linkInfoTarget);
    }

    void fixtureDetails() {
        const ShellLink ms = parseShellLink(fixtureBytes("ms_shllink_3_1_sample.lnk"));
        QCOMPARE(ms.workingDir, "C:\\test");
        QCOMPARE(ms.relativePath, ".\\a.txt");

        const ShellLink nero = parseShellLink(fixtureBytes("NeroInfoTool.lnk"));
        QCOMPARE(nero.arguments, "-ScParameter=30002  ");
        QCOMPARE(nero.iconLocation, "%ProgramFiles%\\Nero\\Nero 9\\Nero InfoTool\\InfoTool.exe");
        QVERIFY(!nero.idListTarget.contains(u'~'));

        const ShellLink wine = parseShellLink(fixtureBytes("wine_created.lnk"));
        QCOMPARE(wine.description, "Tool autostart");
        QCOMPARE(wine.arguments, "--minimized");
        QCOMPARE(wine.workingDir, "C:\\Program Files\\Tool");
        QCOMPARE(wine.idListTarget, "C:\\Program Files\\Tool\\tool.exe");
    }

    void relativeOnlyResolvesAgainstLinkFolder() {
        // HasRelativePath | IsUnicode, and nothing else after the header
        QByteArray bytes = patched<quint32>(fixtureBytes("tool_full.lnk").first(0x4C), 0x14, 0x88);
        const QString rel = "..\\bin\\x.exe";
        bytes.append(char(rel.size())).append('\0');
        bytes.append(reinterpret_cast<const char*>(rel.utf16()), rel.size() * 2);
        bytes.append(4, '\0');
        QTemporaryDir dir;
        const QString file = test::writeBytes(dir.filePath("r.lnk"), bytes);
        LnkShortcutFile shortcut([&](const QString&) { return file; });
        shortcut.loadShortcut("C:\\users\\x\\Startup\\r.lnk");
        QCOMPARE(shortcut.getTarget(), "C:\\users\\x\\bin\\x.exe");
        // A host path gives no Windows folder to resolve against: the stored text is kept.
        shortcut.loadShortcut(file);
        QCOMPARE(shortcut.getTarget(), rel);
    }

    void damagedFilesFailSoftOrAreRefused() {
        const QByteArray ms = fixtureBytes("ms_shllink_3_1_sample.lnk");
        // ForceNoLinkInfo: LinkInfo skipped by its size, the strings after it still line up.
        ShellLink link =
            parseShellLink(patched(ms, 0x14, qFromLittleEndian<quint32>(ms.constData() + 0x14) | 0x100));
        QCOMPARE(link.linkInfoTarget, QString());
        QCOMPARE(link.target, "C:\\test\\a.txt"); // from the IDList
        QCOMPARE(link.workingDir, "C:\\test");
        link = parseShellLink(patched<quint16>(ms, 0x4C, 0xFFFF)); // the IDList runs past the end
        QVERIFY(link.damaged && link.target.isEmpty());

        QVERIFY_THROWS_EXCEPTION(ShortcutError, parseShellLink(patched<quint32>(ms, 0, 0x4D))); // header size
        QVERIFY_THROWS_EXCEPTION(ShortcutError, parseShellLink(patched<quint16>(ms, 4, 0x1402))); // class id
        QVERIFY_THROWS_EXCEPTION(ShortcutError, parseShellLink(ms.first(0x4B)));
        LnkShortcutFile shortcut([](const QString&) { return QString(); });
        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.loadShortcut("C:\\nowhere.lnk"));
        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.loadShortcut("/nonexistent/dir/a.lnk"));
        QVERIFY(shortcut.getTarget().isEmpty());
        QTemporaryDir dir;
        QFile big(dir.filePath("big.lnk"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(LnkShortcutFile::kMaxFileSize + 1));
        big.close();
        QVERIFY_THROWS_EXCEPTION(ShortcutError, LnkShortcutFile(nullptr).loadShortcut(big.fileName()));
    }

    // The layout Wine, lnkinfo and our reader were checked against, byte for byte.
    void writesTheGoldenLayout() {
        ShellLinkOptions options;
        options.workingDir = "C:\\Program Files\\Tool";
        QCOMPARE(buildShellLink(kTool, options).toHex(' '), fixtureBytes("tool_full.lnk").toHex(' '));
    }

    void writtenLinksReadBack_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("wineView"); // the ANSI copy, all Wine reads
        QTest::newRow("ascii") << kTool << kTool;
        QTest::newRow("umlaut") << kUmlaut << kUmlaut;
        QTest::newRow("outside cp1252") << kJapanese << "C:\\??\\???.exe";
        for (const char* target :
             {"D:\\x.exe", "%ProgramFiles%\\Tool\\tool.exe", "\\\\server\\share\\tool.exe"})
            QTest::newRow(target) << QString(target) << QString(target);
    }
    void writtenLinksReadBack() {
        QFETCH(QString, target);
        QFETCH(QString, wineView);
        ShellLinkOptions options;
        options.arguments = "--quiet \"a b\"";
        options.description = "D\u00e9j\u00e0";
        options.workingDir = "C:\\work";
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

    void lnkinfoReadsWhatWeWrite() {
        if (QStandardPaths::findExecutable("lnkinfo").isEmpty())
            QSKIP("lnkinfo (liblnk-utils) is not installed");
        for (const QString& target : {kTool, kUmlaut}) {
            QTemporaryDir dir;
            ShortcutInfo info;
            info.target = target;
            info.workingPath = target; // as the program fills it
            LnkShortcutFile(driveC(dir.path())).createShortcut("C:\\a.lnk", info);
            QProcess process;
            process.start("lnkinfo", {dir.filePath("a.lnk")});
            QVERIFY(process.waitForFinished(10000));
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            QVERIFY2(out.contains("Local path\t\t\t: " + target), qPrintable(out));
            const QString folder = target.section(u'\\', 0, -2);
            QVERIFY2(out.contains("Working directory\t\t: " + folder), qPrintable(out));
            QCOMPARE(out.count("Long name"), target.count(u'\\'));
            for (const QString& part : target.mid(3).split(u'\\'))
                QVERIFY2(out.contains(": " + part + u'\n'), qPrintable(part));
        }
    }

    void createReplacesAtomically() {
        QTemporaryDir dir;
        LnkShortcutFile shortcut(driveC(dir.path()));
        ShortcutInfo info;
        info.target = kUmlaut;
        shortcut.createShortcut("C:\\a.lnk", info);
        info.target = kTool;
        shortcut.createShortcut("C:\\a.lnk", info);
        shortcut.loadShortcut("C:\\a.lnk");
        QCOMPARE(shortcut.getTarget(), kTool);
        QCOMPARE(shortcut.link().workingDir, "C:\\Program Files\\Tool");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.lnk"});

        // A failed write leaves the old link behind (root writes anyway, so only for users).
        if (::geteuid() != 0) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            info.target = kJapanese;
            QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.createShortcut("C:\\a.lnk", info));
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            shortcut.loadShortcut("C:\\a.lnk");
            QCOMPARE(shortcut.getTarget(), kTool);
        }

        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.createShortcut("C:\\missing\\b.lnk", info));
        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.createShortcut("Z:\\b.lnk", info));
        QVERIFY_THROWS_EXCEPTION(ShortcutError, buildShellLink(QString()));
    }
};

QTEST_GUILESS_MAIN(ShortcutTest)
#include "shortcut_test.moc"
