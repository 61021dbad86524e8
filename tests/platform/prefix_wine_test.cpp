// The prefix services against a prefix made by Wine itself, compared with what Wine's own programs
// report in that prefix.
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_prefix.h"
#include "platform/wine/wine_system_info.h"
#include "wine_session.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

class PrefixWineTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath("prefix");
    sw::test::WineSession m_session{m_prefix};

    // Runs wine and waits until the server has written the registry files.
    QByteArray runWine(const QStringList& arguments) {
        QByteArray output;
        m_session.run("wine", arguments, &output, 180000);
        m_session.waitForServer(60000);
        return output;
    }

    WineSystemInfo systemInfo() const {
        const QString prefix = m_prefix;
        return WineSystemInfo(prefix, [prefix] { return std::make_unique<WineRegistryStore>(prefix); });
    }

private slots:
    void initTestCase() {
        if (!sw::test::WineSession::available())
            QSKIP("Wine is not installed (no wine or wineserver on PATH)");
        QVERIFY(m_dir.isValid());
        m_session.boot(180000);
        m_session.waitForServer(60000);
        QVERIFY2(WinePrefix(m_prefix).isValid(), qPrintable(WinePrefix(m_prefix).problem()));
    }

    void environmentMatchesWine() {
        QMap<QString, QString> wine;
        const QByteArray output = runWine({"cmd", "/c", "set"});
        for (const QByteArray& line : output.split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                wine.insert(QString::fromLatin1(line.left(equals)).toUpper(),
                            QString::fromLatin1(line.mid(equals + 1)).trimmed());
        }
        QVERIFY(wine.contains("USERPROFILE"));
        const WineSystemInfo info = systemInfo();
        for (const char* name :
             {"PATH", "ComSpec", "TEMP", "TMP", "USERPROFILE", "APPDATA", "ALLUSERSPROFILE", "ProgramData",
              "PUBLIC", "ProgramFiles", "ProgramFiles(x86)", "CommonProgramFiles", "SystemRoot", "windir",
              "HOMEPATH"})
            QCOMPARE(info.environmentValue(name), wine.value(QString(name).toUpper()));

        const QString startup = info.GetSpecialFolder(kCsidlStartup, false, true);
        QCOMPARE(startup, wine.value("APPDATA") + "\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
        QCOMPARE(info.GetSpecialFolder(kCsidlCommonStartup, false, true),
                 QString("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"));
    }

    void searchesWineProgramsInOrder() {
        const WineSystemInfo info = systemInfo();
        QCOMPARE(info.SearchProgramFile("NOTEPAD.EXE"), QString("C:\\windows\\system32\\notepad.exe"));
        QCOMPARE(info.SearchProgramFile("regedit.exe"), QString("C:\\windows\\regedit.exe"));
        QCOMPARE(info.SearchProgramFile("mofcomp.exe"), QString("C:\\windows\\system32\\wbem\\mofcomp.exe"));
        QCOMPARE(info.SearchProgramFile("absent.exe"), QString("-1"));
    }

    void attributesAgreeWithWine() {
        WineFileSystem fs(m_prefix);
        QVERIFY(QFile(m_prefix + "/drive_c/ours.txt").open(QIODevice::WriteOnly));
        QVERIFY(QFile(m_prefix + "/drive_c/theirs.txt").open(QIODevice::WriteOnly));
        fs.setAttributes("C:\\Ours.txt", {false, true, false, false});
        const QByteArray output = runWine({"cmd", "/c", "attrib C:\\ours.txt & attrib +h C:\\theirs.txt"});
        QVERIFY2(output.contains("H") && output.contains("C:\\ours.txt"), output.constData());
        FileAttributes attributes;
        QVERIFY(fs.attributes("c:\\THEIRS.TXT", attributes));
        QVERIFY(attributes.hidden && !attributes.system);
    }
};

QTEST_GUILESS_MAIN(PrefixWineTest)
#include "prefix_wine_test.moc"
