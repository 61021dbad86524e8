// Two startwarden-cli processes writing the same prefix at once: every change of both is kept, a delete
// racing a disable never loses an entry, and a writer that finds the prefix held past the wait changes
// nothing and says so.
#include "cli_copy.h"
#include "entries/places.h"
#include "platform/registry_store.h"
#include "platform/wine/prefix_writer_lock.h"
#include "temp_prefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

using sw::test::CliResult;
using sw::test::TempPrefix;

namespace {

const QString kRun = sw::test::kRunKey;

// Runs each command line of both lists in its own process, the two lists side by side; the exit
// codes come back in the lists' order.
QList<int> runSideBySide(const sw::test::CliCopy& cli, const QList<QStringList>& first,
                         const QList<QStringList>& second) {
    QList<int> firstCodes, secondCodes;
    std::thread other([&] {
        for (const QStringList& arguments : second)
            secondCodes << cli.run(arguments).exitCode;
    });
    for (const QStringList& arguments : first)
        firstCodes << cli.run(arguments).exitCode;
    other.join();
    return firstCodes + secondCodes;
}

} // namespace

class CliWritersTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;

private slots:
    void initTestCase() { QVERIFY(m_cli.isValid()); }

    void twoWritersKeepEveryChange() {
        TempPrefix prefix({}, TempPrefix::userProfileBody());
        QVERIFY(prefix.writeFile("drive_c/windows/notepad.exe", "MZ"));
        QList<QStringList> adds[2];
        for (int i = 0; i < 50; ++i)
            for (int lane : {0, 1})
                adds[lane] << QStringList{"--prefix",  prefix.path(),
                                          "add",       QStringLiteral("%1%2").arg(lane ? "B" : "A").arg(i),
                                          "--program", "C:\\windows\\notepad.exe",
                                          "--place",   lane ? "LOCAL RUN" : "LOCAL RUNONCE"};
        // the two places share user.reg: each add rewrites the whole file
        for (int code : runSideBySide(m_cli, adds[0], adds[1]))
            QCOMPARE(code, 0);
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(prefix.value(sw::kHkeyCurrentUser, kRun + "Once", QStringLiteral("A%1").arg(i)),
                     QString("C:\\windows\\notepad.exe"));
            QCOMPARE(prefix.value(sw::kHkeyCurrentUser, kRun, QStringLiteral("B%1").arg(i)),
                     QString("C:\\windows\\notepad.exe"));
        }
    }

    void aDeleteRacingADisableLosesNothing() {
        QByteArray values;
        for (int i = 0; i < 25; ++i)
            values += QStringLiteral("\"V%1\"=\"C:\\\\v%1.exe\"\n").arg(i).toUtf8();
        TempPrefix prefix({}, TempPrefix::userProfileBody() + TempPrefix::runSection(values));
        QList<QStringList> deletes, disables;
        for (int i = 0; i < 25; ++i) {
            const QString name = QStringLiteral("V%1").arg(i);
            deletes << QStringList{"--prefix", prefix.path(), "delete", name, "--yes"};
            disables << QStringList{"--prefix", prefix.path(), "disable", name, "--yes"};
        }
        const QList<int> codes = runSideBySide(m_cli, deletes, disables);
        for (int i = 0; i < 25; ++i) {
            QCOMPARE(codes[i], 0);
            QVERIFY(codes[25 + i] == 0 || codes[25 + i] == 1); // disabled, or already gone
            const QString name = QStringLiteral("V%1").arg(i);
            // Every value went to its backup whole, disabled or not, and none stayed.
            QCOMPARE(prefix.value(sw::kHkeyCurrentUser, kRun, name), QString("<none>"));
            const QString backup =
                prefix.value(sw::kHkeyCurrentUser, sw::kBackupKey + "\\HKEY_CU\\Run", name);
            QVERIFY2(backup == QStringLiteral("C:\\v%1.exe").arg(i) ||
                         backup == QStringLiteral("REM C:\\v%1.exe").arg(i),
                     qPrintable(name + ": " + backup));
        }
    }

    void aWriterWaitsThenChangesNothing() {
        TempPrefix prefix({}, TempPrefix::userProfileBody() +
                                  TempPrefix::runSection("\"Tool\"=\"C:\\\\t.exe\"\n"));
        // Another process holds the lock on the program's own file.
        const QByteArray lockFile = QFile::encodeName(sw::prefixWriterLockFile(prefix.path()));
        QVERIFY(QDir().mkpath(QFileInfo(QFile::decodeName(lockFile)).absolutePath()));
        const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        QCOMPARE(::fcntl(fd, F_SETLK, &lock), 0);
        const QByteArray held = prefix.readFile("user.reg");
        QElapsedTimer clock;
        clock.start();
        const CliResult refused = m_cli.run({"--prefix", prefix.path(), "delete", "Tool", "--yes"});
        const qint64 waited = clock.elapsed();
        ::close(fd); // the other writer ends
        QCOMPARE(refused.exitCode, 3);
        QVERIFY2(refused.err.contains("Another StartWarden is changing this Wine prefix"),
                 refused.err.constData());
        QVERIFY2(waited >= sw::kWriterWaitSeconds * 1000 - 500 &&
                     waited < sw::kWriterWaitSeconds * 1000 + 5000,
                 qPrintable(QString::number(waited)));
        QCOMPARE(prefix.readFile("user.reg"), held);

        // A writer that ended holds nothing.
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "delete", "Tool", "--yes"}).exitCode, 0);
        // Reading never waits for a writer.
        QCOMPARE(m_cli.run({"--prefix", prefix.path(), "list"}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(CliWritersTest)
#include "cli_writers_test.moc"
