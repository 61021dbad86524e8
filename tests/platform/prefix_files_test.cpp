#include "platform/wine/wine_file_system.h"
#include "platform/wine/wine_prefix.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <sys/xattr.h>

using namespace sw;

namespace {
// The raw bytes of the DOS attribute xattr, as any other reader of the file sees them.
QByteArray dosAttrib(const QString& host) {
    char buffer[64];
    const ssize_t length =
        ::getxattr(QFile::encodeName(host).constData(), "user.DOSATTRIB", buffer, sizeof buffer);
    return length < 0 ? QByteArray("<none>") : QByteArray(buffer, length);
}

void setRaw(const QString& host, const QByteArray& value) {
    QCOMPARE(::setxattr(QFile::encodeName(host).constData(), "user.DOSATTRIB", value.constData(),
                        static_cast<size_t>(value.size()), 0),
             0);
}
} // namespace

class PrefixFilesTest : public QObject {
    Q_OBJECT
private slots:
    void choosesFolderInOrder() {
        QProcessEnvironment env;
        env.insert("HOME", "/home/ann");
        QCOMPARE(WinePrefix::chooseFolder({}, env), QString("/home/ann/.wine"));
        env.insert("WINEPREFIX", "/opt/games/");
        QCOMPARE(WinePrefix::chooseFolder({}, env), QString("/opt/games"));
        QCOMPARE(WinePrefix::chooseFolder("/srv/p", env), QString("/srv/p"));
        QCOMPARE(WinePrefix::chooseFolder("rel", env), QDir::current().absoluteFilePath("rel"));
    }

    void validatesPrefix() {
        test::TempPrefix prefix;
        QVERIFY(WinePrefix(prefix.path()).isValid());
        QVERIFY(WinePrefix(prefix.path() + "/missing").problem().contains("does not exist"));
        QVERIFY(WinePrefix(prefix.hostPath("system.reg")).problem().contains("not a folder"));
        QVERIFY(WinePrefix(prefix.hostPath("drive_c")).problem().contains("holds no system.reg"));
        prefix.writeFile("user.reg", "WINE REGISTRY Version 1\n");
        QVERIFY(WinePrefix(prefix.path()).problem().contains("user.reg does not start with"));
        prefix.writeFile("user.reg", "WINE REGISTRY Version 2x\n");
        QVERIFY(!WinePrefix(prefix.path()).isValid());
    }

    void mapsPathsCaseInsensitively() {
        test::TempPrefix prefix;
        WineFileSystem fs(prefix.path());
        prefix.writeFile("drive_c/Program Files/Tool/Tool.EXE", "x");
        const QString host = prefix.hostPath("dosdevices/c:/Program Files/Tool/Tool.EXE");
        QCOMPARE(fs.hostPath("c:\\PROGRAM FILES\\tool\\tool.exe"), host);
        QCOMPARE(fs.hostPath("\\\\?\\C:\\Program Files\\Tool\\Tool.EXE"), host);
        QCOMPARE(fs.hostPath("\\??\\C:/program files/tool/./x/../tool.exe"), host);
        QCOMPARE(fs.windowsPath("c:\\program files\\TOOL\\tool.exe"),
                 QString("C:\\Program Files\\Tool\\Tool.EXE"));
        // The exact name wins over an earlier case-insensitive match.
        prefix.writeFile("drive_c/dup/a.txt", "1");
        prefix.writeFile("drive_c/dup/A.txt", "2");
        QCOMPARE(fs.windowsPath("C:\\dup\\A.txt"), QString("C:\\dup\\A.txt"));
        QCOMPARE(fs.windowsPath("C:\\dup\\a.txt"), QString("C:\\dup\\a.txt"));
        // Missing parts keep their spelling; host paths pass through.
        QCOMPARE(fs.hostPath("C:\\Program Files\\New\\b.lnk"),
                 prefix.hostPath("dosdevices/c:/Program Files/New/b.lnk"));
        QCOMPARE(fs.hostPath("/usr/bin/../bin/env"), QString("/usr/bin/../bin/env"));
    }

    void refusesUnmappablePaths() {
        test::TempPrefix prefix;
        WineFileSystem fs(prefix.path());
        for (const char* path : {"", "relative\\x", "C:relative", "\\\\server\\share\\x",
                                 "C:\\..\\..\\system.reg", "C:\\windows\\..\\..\\x", "Q:\\nothing", "1:\\x"})
            QVERIFY2(fs.hostPath(path).isEmpty(), path);
        QDir(prefix.hostPath("dosdevices")).removeRecursively();
        QVERIFY(fs.hostPath("C:\\windows").isEmpty());
        FileAttributes attributes;
        QVERIFY(!fs.attributes("C:\\windows", attributes));
        QVERIFY(fs.listFolder("C:\\windows").isEmpty());
    }

    void readsAttributesAsWine() {
        test::TempPrefix prefix;
        WineFileSystem fs(prefix.path());
        const QList<QPair<QByteArray, bool>> cases = {
            {"0x2", true}, {QByteArray("0x2\0", 4), true}, {"0X2", false}, {"0x2z", false}, {"0x1", false}};
        for (const auto& [value, hidden] : cases) {
            prefix.writeFile("drive_c/f.txt", "");
            setRaw(prefix.hostPath("drive_c/f.txt"), value);
            FileAttributes read;
            QVERIFY(fs.attributes("C:\\f.txt", read));
            QVERIFY2(read.hidden == hidden, value.toHex().constData());
        }
        // Hidden and system together are written as Wine writes them, and read back both.
        fs.setAttributes("C:\\F.TXT", {false, true, true, false});
        QCOMPARE(dosAttrib(prefix.hostPath("drive_c/f.txt")), QByteArray("0x6"));
        FileAttributes both;
        QVERIFY(fs.attributes("C:\\f.txt", both) && both.hidden && both.system && !both.readOnly);
        prefix.writeFile("drive_c/.profile", "");
        FileAttributes dot;
        QVERIFY(fs.attributes("C:\\.profile", dot) && dot.hidden);
        QVERIFY(fs.attributes("C:\\windows", dot) && dot.directory && !dot.hidden);
    }

    void refusedXattrIsReported() {
        WineFileSystem fs("/nonexistent");
        try {
            // Read-only writes the xattr first, so no mode change can fail before it.
            fs.setAttributes("/proc/self/comm", {true, true, false, false});
            QFAIL("no error");
        } catch (const FileSystemError& error) {
            QVERIFY2(QString(error.what()).contains("does not support extended attributes"), error.what());
        }
    }
};

QTEST_GUILESS_MAIN(PrefixFilesTest)
#include "prefix_files_test.moc"
