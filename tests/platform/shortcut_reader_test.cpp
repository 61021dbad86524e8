#include "platform/wine/lnk_shortcut_file.h"
#include "platform/wine/shell_link.h"
#include "temp_prefix.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace sw;

namespace {

QByteArray readFixture(const QString& name) {
    QFile file(test::fixture(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A copy of `bytes` with a little-endian number written at `at`.
QByteArray with16(QByteArray bytes, qsizetype at, quint16 v) {
    qToLittleEndian(v, bytes.data() + at);
    return bytes;
}

QByteArray with32(QByteArray bytes, qsizetype at, quint32 v) {
    qToLittleEndian(v, bytes.data() + at);
    return bytes;
}

const QStringList kFixtures = {"ms_shllink_3_1_sample.lnk", "NeroInfoTool.lnk", "example.lnk",
                               "unpaired_surrogate.lnk",    "wine_created.lnk", "wine_created_missing.lnk",
                               "wine_created_umlaut.lnk",   "tool_full.lnk",    "tool_idlist_only.lnk",
                               "tool_linkinfo_only.lnk",    "tool_umlaut.lnk"};

} // namespace

class ShortcutReaderTest : public QObject {
    Q_OBJECT

private slots:
    void fixtureTargets_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        const QString tool = QStringLiteral("C:\\Program Files\\Tool\\tool.exe");
        const QString umlaut = QStringLiteral("C:\\Programme\\T\u00f6\u00f6l\\t\u00f6\u00f6l.exe");
        const QString targets[] = {
            QStringLiteral("C:\\test\\a.txt"),
            QStringLiteral("C:\\Program Files (x86)\\Nero\\Nero 9\\Nero InfoTool\\InfoTool.exe"),
            QStringLiteral("%windir%\\system32\\migwiz\\migwiz.exe"), // environment only
            QStringLiteral("C:\\test\\unicode_U+0000d800_\ufffd.exe"),
            tool,
            QStringLiteral("C:\\Missing\\nothere.exe"),
            umlaut,
            tool,
            tool, // IDList only
            tool, // LinkInfo only
            umlaut};
        for (qsizetype i = 0; i < kFixtures.size(); ++i)
            QTest::newRow(qPrintable(kFixtures[i])) << kFixtures[i] << targets[i];
    }

    // Through the class with a mapped Windows path, as the program loads links.
    void fixtureTargets() {
        QFETCH(QString, file);
        QFETCH(QString, target);
        LnkShortcutFile shortcut([](const QString& path) { return test::fixture(path.section(u'\\', -1)); });
        shortcut.LoadShortcut(QStringLiteral("C:\\users\\x\\Startup\\") + file);
        QCOMPARE(shortcut.GetTarget(), target);
        QVERIFY(!shortcut.link().damaged);
        // Where both are present the Windows view (IDList, long names) must agree with Wine's.
        if (!shortcut.link().idListTarget.isEmpty() && !shortcut.link().linkInfoTarget.isEmpty()) {
            QCOMPARE(shortcut.link().idListTarget, shortcut.link().linkInfoTarget);
        }
    }

    void fixtureDetails() {
        const ShellLink ms = parseShellLink(readFixture("ms_shllink_3_1_sample.lnk"));
        QCOMPARE(ms.workingDir, "C:\\test");
        QCOMPARE(ms.relativePath, ".\\a.txt");

        const ShellLink nero = parseShellLink(readFixture("NeroInfoTool.lnk"));
        QCOMPARE(nero.arguments, "-ScParameter=30002  ");
        QCOMPARE(nero.iconLocation, "%ProgramFiles%\\Nero\\Nero 9\\Nero InfoTool\\InfoTool.exe");
        QVERIFY(!nero.idListTarget.contains(u'~'));

        const ShellLink wine = parseShellLink(readFixture("wine_created.lnk"));
        QCOMPARE(wine.description, "Tool autostart");
        QCOMPARE(wine.arguments, "--minimized");
        QCOMPARE(wine.workingDir, "C:\\Program Files\\Tool");
        QCOMPARE(wine.idListTarget, "C:\\Program Files\\Tool\\tool.exe");
    }

    void relativeOnlyResolvesAgainstLinkFolder() {
        QByteArray bytes =
            with32(readFixture("tool_full.lnk").first(0x4C), 0x14, 0x88); // HasRelativePath | IsUnicode
        const QString rel = QStringLiteral("..\\bin\\x.exe");
        bytes.append(char(rel.size())).append('\0');
        bytes.append(reinterpret_cast<const char*>(rel.utf16()), rel.size() * 2);
        bytes.append(4, '\0');
        QTemporaryDir dir;
        QFile out(dir.filePath("r.lnk"));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();

        LnkShortcutFile shortcut([&](const QString&) { return out.fileName(); });
        shortcut.LoadShortcut(QStringLiteral("C:\\users\\x\\Startup\\r.lnk"));
        QCOMPARE(shortcut.GetTarget(), "C:\\users\\x\\bin\\x.exe");
        // A host path gives no Windows folder to resolve against: the stored text is kept.
        shortcut.LoadShortcut(out.fileName());
        QCOMPARE(shortcut.GetTarget(), rel);
    }

    void damagedSectionsFailSoft() {
        const QByteArray ms = readFixture("ms_shllink_3_1_sample.lnk");
        const QString target = QStringLiteral("C:\\test\\a.txt");
        // ForceNoLinkInfo: LinkInfo skipped by its size, the strings after it still line up.
        ShellLink link =
            parseShellLink(with32(ms, 0x14, qFromLittleEndian<quint32>(ms.constData() + 0x14) | 0x100));
        QCOMPARE(link.linkInfoTarget, QString());
        QCOMPARE(link.target, target); // from the IDList
        QCOMPARE(link.workingDir, "C:\\test");
        link = parseShellLink(with16(ms, 0x4C, 0xFFFF)); // the IDList runs past the end
        QVERIFY(link.damaged && link.target.isEmpty());
    }

    void rejectsNonShortcutsAndHugeFiles() {
        QByteArray bytes = readFixture("tool_full.lnk");
        QVERIFY_THROWS_EXCEPTION(ShortcutError, parseShellLink(with32(bytes, 0, 0x4D)));   // header size
        QVERIFY_THROWS_EXCEPTION(ShortcutError, parseShellLink(with16(bytes, 4, 0x1402))); // class id
        QVERIFY_THROWS_EXCEPTION(ShortcutError, parseShellLink(bytes.first(0x4B)));

        LnkShortcutFile shortcut([](const QString&) { return QString(); });
        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.LoadShortcut("C:\\nowhere.lnk"));
        QVERIFY_THROWS_EXCEPTION(ShortcutError, shortcut.LoadShortcut("/nonexistent/dir/a.lnk"));
        QVERIFY(shortcut.GetTarget().isEmpty());

        QTemporaryDir dir;
        QFile big(dir.filePath("big.lnk"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(LnkShortcutFile::kMaxFileSize + 1));
        big.close();
        QVERIFY_THROWS_EXCEPTION(ShortcutError, LnkShortcutFile(nullptr).LoadShortcut(big.fileName()));
    }
};

QTEST_GUILESS_MAIN(ShortcutReaderTest)
#include "shortcut_reader_test.moc"
