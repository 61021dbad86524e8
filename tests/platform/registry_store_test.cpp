// WineRegistryStore on prefix files: the seven operations, safe replacement (symlinks, permissions,
// concurrent writers), refusal while a wineserver lock is held.
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_running.h"
#include "server_lock.h"
#include "temp_prefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using sw::kHkeyCurrentUser;
using sw::kHkeyLocalMachine;
using sw::RegistryError;
using sw::WineRegistryStore;

namespace {

const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray fixture(const QString& name) {
    return readAll(QStringLiteral(SW_TEST_FIXTURES "/registry/") + name);
}

// The value names of a key, or "<unreadable>" when it cannot be enumerated.
QStringList namesIn(WineRegistryStore& store, std::int32_t root, const QString& key) {
    QStringList names;
    QList<std::uint32_t> kinds;
    return store.EnumerateValues(root, key, names, kinds) ? names
                                                          : QStringList{QStringLiteral("<unreadable>")};
}

QByteArray bodyOf(const QByteArray& file) {
    // the sections after Wine's header (TempPrefix adds its own header)
    const qsizetype at = file.indexOf("\n\n[");
    return file.mid(at + 1);
}

} // namespace

class RegistryStoreTest : public QObject {
    Q_OBJECT

private slots:
    void enumeratesAndReadsInFileOrder() {
        sw::test::TempPrefix prefix(bodyOf(fixture(QStringLiteral("wine8_system_excerpt.reg"))),
                                    bodyOf(fixture(QStringLiteral("wine8_user.reg"))));
        WineRegistryStore store(prefix.path());
        QStringList names;
        QList<std::uint32_t> kinds;
        QVERIFY(store.EnumerateValues(kHkeyCurrentUser, QStringLiteral("software\\swfixture"), names, kinds));
        QCOMPARE(names.size(), 14);
        QCOMPARE(kinds.size(), 14);
        QCOMPARE(names.first(), store.SkippedValueName());
        QCOMPARE(names.last(), QString::fromUtf8("\xc3\x9c"
                                                 "bung"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, QStringLiteral("Software\\SwFixture"), names.last(),
                                 kinds.last()),
                 QString::fromUtf8("C:\\Programme\\\xc3\x9c"
                                   "bung\\\xc3\xbc.exe"));
        QCOMPARE(namesIn(store, kHkeyLocalMachine, kRun), QStringList{QStringLiteral("MachineApp")});
        QCOMPARE(namesIn(store, kHkeyLocalMachine, kRun + QStringLiteral("Once")), QStringList());
        // a key that only holds subkeys exists but has no values; a missing key is not readable
        QCOMPARE(namesIn(store, kHkeyLocalMachine, QStringLiteral("Software\\Microsoft")), QStringList());
        QVERIFY(!store.EnumerateValues(kHkeyLocalMachine, QStringLiteral("Software\\Missing"), names, kinds));
        QVERIFY(!store.EnumerateValues(12345, kRun, names, kinds));
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 store.ReadValue(kHkeyLocalMachine, kRun, QStringLiteral("nope"), 0));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.ReadValue(kHkeyLocalMachine, QStringLiteral("No\\Key"),
                                                                QStringLiteral("x"), 0));
    }

    void writesReadsCopiesDeletes() {
        sw::test::TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        store.CreateKey(kHkeyCurrentUser, kRun);
        const QByteArray afterCreate = prefix.readFile(QStringLiteral("user.reg"));
        store.CreateKey(kHkeyCurrentUser, kRun.toUpper()); // existing: unchanged
        QCOMPARE(prefix.readFile(QStringLiteral("user.reg")), afterCreate);
        QVERIFY(afterCreate.contains("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "));
        const QString text = QString::fromUtf8("C:\\Pr\xc3\xb6g \"x\"\\a.exe /min \xf0\x9f\x98\x80\t\x01");
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("App"), text);
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, QStringLiteral("app"), 1), text);
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("APP"), QStringLiteral("second"));
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), QStringList{QStringLiteral("App")});
        store.CopyValue(kHkeyCurrentUser, kRun, QStringLiteral("App"), kHkeyLocalMachine,
                        QStringLiteral("Software\\StartWarden\\Disabled"), QStringLiteral("App copy"));
        QCOMPARE(store.ReadValue(kHkeyLocalMachine, QStringLiteral("Software\\StartWarden\\Disabled"),
                                 QStringLiteral("App copy"), 0),
                 QStringLiteral("second"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, QStringLiteral("App"), 0), QStringLiteral("second"));
        store.DeleteValue(kHkeyCurrentUser, kRun, QStringLiteral("app"));
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), QStringList());
        store.DeleteValue(kHkeyCurrentUser, kRun, QStringLiteral("app")); // already gone: fine
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 store.CopyValue(kHkeyCurrentUser, kRun, QStringLiteral("gone"),
                                                 kHkeyCurrentUser, kRun, QStringLiteral("x")));
        QVERIFY(prefix.readFile(QStringLiteral("user.reg")).startsWith("WINE REGISTRY Version 2\n"));
        QVERIFY(prefix.readFile(QStringLiteral("system.reg")).contains("\n#arch=win64\n"));
    }

    void copyKeepsTypeAndData() {
        sw::test::TempPrefix prefix(bodyOf(fixture(QStringLiteral("wine8_system_excerpt.reg"))));
        WineRegistryStore store(prefix.path());
        const QString env =
            QStringLiteral("System\\CurrentControlSet\\Control\\Session Manager\\Environment");
        store.CopyValue(kHkeyLocalMachine, env, QStringLiteral("PATH"), kHkeyCurrentUser,
                        QStringLiteral("Environment"), QStringLiteral("Path"));
        QVERIFY(prefix.readFile(QStringLiteral("user.reg"))
                    .contains("\"Path\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%;"));
    }

    void writesOnlyTheKeysLines() {
        sw::test::TempPrefix prefix;
        const QByteArray original = fixture(QStringLiteral("wine8_user.reg"));
        QVERIFY(writeAll(prefix.hostPath(QStringLiteral("user.reg")), original));
        WineRegistryStore store(prefix.path());
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("New"), QStringLiteral("n.exe"));
        const QByteArray changed = prefix.readFile(QStringLiteral("user.reg"));
        const qsizetype at = original.indexOf("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run]");
        const qsizetype next = original.indexOf("\n[", at) + 1;
        QCOMPARE(changed.left(at), original.left(at));
        QCOMPARE(changed.right(original.size() - next), original.mid(next));
        QVERIFY(changed.contains("\"New\"=\"n.exe\"\n\"Test\"="));
        // and back: deleting the value keeps every value line as Wine wrote it
        store.DeleteValue(kHkeyCurrentUser, kRun, QStringLiteral("New"));
        const QByteArray back = prefix.readFile(QStringLiteral("user.reg"));
        QCOMPARE(back.size(), original.size());
        QCOMPARE(back.left(at), original.left(at));
        QCOMPARE(back.mid(next), original.mid(next));
    }

    void keepsPermissionsAndWritesThroughSymlinks() {
        sw::test::TempPrefix prefix;
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath(QStringLiteral("real-user.reg"));
        QVERIFY(QFile::rename(prefix.hostPath(QStringLiteral("user.reg")), real));
        QVERIFY(QFile::link(real, prefix.hostPath(QStringLiteral("user.reg"))));
        ::chmod(QFile::encodeName(real).constData(), 0640);
        WineRegistryStore store(prefix.path());
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("L"), QStringLiteral("linked"));
        QVERIFY(QFileInfo(prefix.hostPath(QStringLiteral("user.reg"))).isSymLink());
        QVERIFY(readAll(real).contains("\"L\"=\"linked\""));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        // a file without write bits is not replaced, not even by root; a change that changes nothing passes
        ::chmod(QFile::encodeName(real).constData(), 0444);
        const QByteArray locked = readAll(real);
        QVERIFY_THROWS_EXCEPTION(
            RegistryError,
            store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("L"), QStringLiteral("x")));
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("L"), QStringLiteral("linked"));
        QCOMPARE(readAll(real), locked);
        // no temporary files left behind
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(
            QDir(prefix.path()).entryList({QStringLiteral("*swtmp*")}, QDir::Files | QDir::Hidden).size(), 0);
    }

    void neverWritesFilesWithoutHeader() {
        sw::test::TempPrefix prefix;
        const QByteArray broken = "garbage\n[Software] 1\n";
        QVERIFY(writeAll(prefix.hostPath(QStringLiteral("user.reg")), broken));
        WineRegistryStore store(prefix.path());
        QVERIFY_THROWS_EXCEPTION(
            RegistryError,
            store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("x"), QStringLiteral("y")));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.CreateKey(kHkeyCurrentUser, kRun));
        QCOMPARE(prefix.readFile(QStringLiteral("user.reg")), broken);
        QCOMPARE(namesIn(store, kHkeyCurrentUser, QStringLiteral("Software")), QStringList{"<unreadable>"});
        QFile::remove(prefix.hostPath(QStringLiteral("user.reg")));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.CreateKey(kHkeyCurrentUser, kRun));
        QVERIFY(!QFile::exists(prefix.hostPath(QStringLiteral("user.reg"))));
    }

    void keepsAChangeMadeBetweenReadAndWrite() {
        sw::test::TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        store.CreateKey(kHkeyCurrentUser, kRun);
        WineRegistryStore other(prefix.path());
        int calls = 0;
        store.setBeforeReplaceHook([&] {
            if (calls++ == 0)
                other.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("Other"),
                                       QStringLiteral("kept"));
        });
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("Mine"), QStringLiteral("mine"));
        QCOMPARE(calls, 2);
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, QStringLiteral("Other"), 0), QStringLiteral("kept"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, QStringLiteral("Mine"), 0), QStringLiteral("mine"));
        // a file that never stops changing: refused, the other writer's content stays
        int n = 0;
        store.setBeforeReplaceHook([&] {
            other.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("Busy"), QString::number(++n));
        });
        QVERIFY_THROWS_EXCEPTION(
            RegistryError,
            store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("Lost"), QStringLiteral("x")));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, QStringLiteral("Busy"), 0), QString::number(n));
        QVERIFY(!namesIn(store, kHkeyCurrentUser, kRun).contains(QStringLiteral("Lost")));
    }

    void refusesWritesWhileAServerLockIsHeld() {
        sw::test::TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        const QStringList locks = sw::wineServerLockFiles(prefix.path());
        QCOMPARE(locks.size(), 2);
        QVERIFY(locks[0].startsWith(QStringLiteral("/tmp/.wine-%1/server-").arg(::getuid())));
        QVERIFY(locks[1].startsWith(QStringLiteral("/run/user/%1/wine/server-").arg(::getuid())));
        store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("Before"), QStringLiteral("1"));

        sw::test::HeldServerLock server(prefix.path()); // by the redirect file, as Debian's Wine
        QVERIFY(server.locked());
        QVERIFY(!sw::wineRunningOn(prefix.path()).isEmpty());
        const QByteArray before = prefix.readFile(QStringLiteral("user.reg"));
        try {
            store.WriteStringValue(kHkeyCurrentUser, kRun, QStringLiteral("During"), QStringLiteral("2"));
            QFAIL("the write was not refused");
        } catch (const RegistryError& e) {
            QVERIFY(
                QString::fromStdString(e.what()).contains(QStringLiteral("Wine is running on the prefix")));
        }
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 store.CreateKey(kHkeyCurrentUser, QStringLiteral("Software\\New")));
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 store.DeleteValue(kHkeyCurrentUser, kRun, QStringLiteral("Before")));
        QCOMPARE(prefix.readFile(QStringLiteral("user.reg")), before);
        // reading stays possible
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, QStringLiteral("Before"), 0), QStringLiteral("1"));

        // a server that ended leaves its lock file behind: not running
        server.release();
        QVERIFY(sw::wineRunningOn(prefix.path()).isEmpty());
        store.DeleteValue(kHkeyCurrentUser, kRun, QStringLiteral("Before"));
    }

    void aKeyWrittenTwiceIsOneKey() {
        // Wine merges the sections of a key when it loads the file: the later data wins.
        sw::test::TempPrefix prefix({}, "\n[Software\\\\K] 1\n\"A\"=\"1\"\n\"B\"=\"old\"\n\n[Other] 1\n\n"
                                        "[software\\\\k] 1\n\"b\"=\"new\"\n\"C\"=\"3\"\n");
        WineRegistryStore store(prefix.path());
        const QString key = QStringLiteral("Software\\K");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, key), (QStringList{"A", "B", "C"}));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, key, QStringLiteral("B"), 0), QStringLiteral("new"));
        store.DeleteValue(kHkeyCurrentUser, key, QStringLiteral("C"));
        store.WriteStringValue(kHkeyCurrentUser, key, QStringLiteral("b"), QStringLiteral("newest"));
        QCOMPARE(namesIn(store, kHkeyCurrentUser, key), (QStringList{"A", "B"}));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, key, QStringLiteral("B"), 0), QStringLiteral("newest"));
        const QByteArray file = prefix.readFile(QStringLiteral("user.reg"));
        QVERIFY(!file.contains("\"C\"") && !file.contains("\"old\"") && !file.contains("\"new\""));
    }

    void readsAFreshFileAfterAnInPlaceChange() {
        sw::test::TempPrefix prefix({}, "\n[Software\\\\K] 1\n\"A\"=\"1\"\n");
        WineRegistryStore store(prefix.path());
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, QStringLiteral("Software\\K"), QStringLiteral("A"), 0),
                 QStringLiteral("1"));
        QTest::qWait(5);
        QVERIFY(prefix.writeFile(QStringLiteral("user.reg"), sw::test::TempPrefix::registryHeader(false) +
                                                                 "\n[Software\\\\K] 1\n\"A\"=\"2\"\n"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, QStringLiteral("Software\\K"), QStringLiteral("A"), 0),
                 QStringLiteral("2"));
    }

    void largeFileReadsTouchOnlyTheKey() {
        // a 20 MB system.reg: reading the Run key must stay fast (no full parse)
        QByteArray body;
        body.reserve(21 * 1024 * 1024);
        int i = 0;
        while (body.size() < 10 * 1024 * 1024) {
            body += "\n[Software\\\\Classes\\\\CLSID\\\\{" + QByteArray::number(i++).rightJustified(8, '0') +
                    "-0000-0000-0000-000000000000}\\\\InprocServer32] 1796516601\n#time=1dd8517ffda07c0\n"
                    "@=\"C:\\\\windows\\\\system32\\\\x.dll\"\n\"ThreadingModel\"=\"Both\"\n";
        }
        body += "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "
                "1796516601\n#time=1dd8517ffda07c0\n"
                "\"A\"=\"a.exe\"\n";
        sw::test::TempPrefix prefix(body.mid(1) +
                                    body.mid(1).replace("Software\\\\Classes", "Software\\\\Zlasses"));
        WineRegistryStore store(prefix.path());
        QElapsedTimer timer;
        timer.start();
        QStringList names;
        QList<std::uint32_t> kinds;
        QVERIFY(store.EnumerateValues(kHkeyLocalMachine, kRun, names, kinds));
        QCOMPARE(store.ReadValue(kHkeyLocalMachine, kRun, QStringLiteral("A"), kinds.value(0)),
                 QStringLiteral("a.exe"));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(RegistryStoreTest)
#include "registry_store_test.moc"
