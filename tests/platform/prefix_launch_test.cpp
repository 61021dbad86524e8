#include "platform/wine/command_line_split.h"
#include "platform/wine/wine_desktop_services.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace sw;

class PrefixLaunchTest : public QObject {
    Q_OBJECT
private slots:
    void splitsAsWindows_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("quoted program")
            << "\"C:\\Program Files\\a.exe\" /min" << QStringList{"C:\\Program Files\\a.exe", "/min"};
        QTest::newRow("program backslash quote") << "\"C:\\dir\\\"x y" << QStringList{"C:\\dir\\", "x", "y"};
        QTest::newRow("unquoted") << "  a.exe\t b  c " << QStringList{"a.exe", "b", "c"};
        QTest::newRow("backslashes") << "p a\\\\b a\\\\\\\"b a\\\\\"b c\" d"
                                     << QStringList{"p", "a\\\\b", "a\\\"b", "a\\b c", "d"};
        // A doubled quote inside quotes is a literal one and ends the quoted part.
        QTest::newRow("doubled quote") << "p \"a\"\"b c\" d" << QStringList{"p", "a\"b", "c d"};
        QTest::newRow("tripled quotes") << "p \"\"\"c\"\"\" \"\"" << QStringList{"p", "\"c\"", ""};
        QTest::newRow("joined") << "p a\"b c\"d" << QStringList{"p", "ab cd"};
        QTest::newRow("unterminated") << "p \"a b" << QStringList{"p", "a b"};
        QTest::newRow("empty") << "   " << QStringList{};
        QTest::newRow("only quote") << "\"" << QStringList{""};
    }
    void splitsAsWindows() {
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        QCOMPARE(splitCommandLine(line), arguments);
    }

    void startsWineDetached() {
        QTemporaryDir dir;
        const QString record = dir.filePath("record.txt");
        QFile script(dir.filePath("wine"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Writes the prefix and one argument a line, then renames so the test never reads half a file.
        script.write("#!/bin/sh\nprintf '%s\\n' \"$WINEPREFIX\" > \"$0.tmp\"\n"
                     "printf '[%s]\\n' \"$@\" >> \"$0.tmp\"\nmv \"$0.tmp\" " +
                     QFile::encodeName(record) + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env;
        env.insert("PATH", dir.path() + ":/usr/bin:/bin");
        WineDesktopServices services("/srv/prefix", "wine", env);
        QCOMPARE(services.launcherPath(), dir.filePath("wine"));
        services.startCommandLine("\"C:\\Program Files\\x y\\a.exe\" /arg \"two words\" back\\\\slash");
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(record) && !deadline.hasExpired())
            QThread::msleep(20);
        QFile result(record);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(
            QString::fromUtf8(result.readAll()),
            QString("/srv/prefix\n[C:\\Program Files\\x y\\a.exe]\n[/arg]\n[two words]\n[back\\\\slash]\n"));
        QVERIFY(!services.openServiceConsole());
    }

    void failsWithoutWine() {
        QTemporaryDir dir;
        QProcessEnvironment env;
        env.insert("PATH", dir.path());
        WineDesktopServices services("/srv/prefix", "wine", env);
        QVERIFY(services.launcherPath().isEmpty());
        QVERIFY_THROWS_EXCEPTION(LaunchError, services.startCommandLine("notepad.exe"));
        WineDesktopServices missing("/srv/prefix", dir.filePath("wine"),
                                    QProcessEnvironment::systemEnvironment());
        QVERIFY_THROWS_EXCEPTION(LaunchError, missing.startCommandLine("notepad.exe"));
        QVERIFY_THROWS_EXCEPTION(LaunchError, missing.startCommandLine("  "));
    }
};

QTEST_GUILESS_MAIN(PrefixLaunchTest)
#include "prefix_launch_test.moc"
