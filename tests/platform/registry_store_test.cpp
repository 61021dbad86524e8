// WineRegistryStore on prefix files: the seven operations, safe replacement (symlinks, permissions,
// concurrent writers), refusal while a wineserver lock is held.
#include "fixture_bytes.h"
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
using sw::test::fileBytes;

namespace {

const QString kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

QByteArray fixture(const QString& name) {
    return sw::test::fixtureBytes("registry/" + name);
}

// The value names of a key, or "<unreadable>" when it cannot be enumerated.
QStringList namesIn(WineRegistryStore& store, std::int32_t root, const QString& key) {
    QStringList names;
    QList<std::uint32_t> kinds;
    return store.EnumerateValues(root, key, names, kinds) ? names : QStringList{"<unreadable>"};
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
        sw::test::TempPrefix prefix(bodyOf(fixture("wine8_system_excerpt.reg")),
                                    bodyOf(fixture("wine8_user.reg")));
        WineRegistryStore store(prefix.path());
        QStringList names;
        QList<std::uint32_t> kinds;
        QVERIFY(store.EnumerateValues(kHkeyCurrentUser, "software\\swfixture", names, kinds));
        QCOMPARE(names.size(), 14);
        QCOMPARE(kinds.size(), 14);
        QCOMPARE(names.first(), store.SkippedValueName());
        QCOMPARE(names.last(), QString::fromUtf8("\xc3\x9c"
                                                 "bung"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, "Software\\SwFixture", names.last(), kinds.last()),
                 QString::fromUtf8("C:\\Programme\\\xc3\x9c"
                                   "bung\\\xc3\xbc.exe"));
        QCOMPARE(namesIn(store, kHkeyLocalMachine, kRun), QStringList{"MachineApp"});
        QCOMPARE(namesIn(store, kHkeyLocalMachine, kRun + "Once"), QStringList());
        // a key that only holds subkeys exists but has no values; a missing key is not readable
        QCOMPARE(namesIn(store, kHkeyLocalMachine, "Software\\Microsoft"), QStringList());
        QStringList none;
        QVERIFY(store.EnumerateValues(kHkeyLocalMachine, "Software\\Microsoft", none, kinds));
        QVERIFY(
            !store.EnumerateValues(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\Current", none, kinds));
        QVERIFY(!store.EnumerateValues(kHkeyLocalMachine, "Software\\Missing", names, kinds));
        QVERIFY(!store.EnumerateValues(12345, kRun, names, kinds));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.ReadValue(kHkeyLocalMachine, kRun, "nope", 0));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.ReadValue(kHkeyLocalMachine, "No\\Key", "x", 0));
    }

    void writesReadsCopiesDeletes() {
        sw::test::TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        store.CreateKey(kHkeyCurrentUser, kRun);
        const QByteArray afterCreate = prefix.readFile("user.reg");
        store.CreateKey(kHkeyCurrentUser, kRun.toUpper()); // existing: unchanged
        QCOMPARE(prefix.readFile("user.reg"), afterCreate);
        QVERIFY(afterCreate.contains("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "));
        const QString text = QString::fromUtf8("C:\\Pr\xc3\xb6g \"x\"\\a.exe /min \xf0\x9f\x98\x80\t\x01");
        store.WriteStringValue(kHkeyCurrentUser, kRun, "App", text);
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, "app", 1), text);
        store.WriteStringValue(kHkeyCurrentUser, kRun, "APP", "second");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), QStringList{"App"});
        store.CopyValue(kHkeyCurrentUser, kRun, "App", kHkeyLocalMachine, "Software\\StartWarden\\Disabled",
                        "App copy");
        QCOMPARE(store.ReadValue(kHkeyLocalMachine, "Software\\StartWarden\\Disabled", "App copy", 0),
                 "second");
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, "App", 0), "second");
        store.DeleteValue(kHkeyCurrentUser, kRun, "app");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), QStringList());
        store.DeleteValue(kHkeyCurrentUser, kRun, "app"); // already gone: fine
        QVERIFY_THROWS_EXCEPTION(
            RegistryError, store.CopyValue(kHkeyCurrentUser, kRun, "gone", kHkeyCurrentUser, kRun, "x"));
        QVERIFY(prefix.readFile("user.reg").startsWith("WINE REGISTRY Version 2\n"));
        QVERIFY(prefix.readFile("system.reg").contains("\n#arch=win64\n"));
    }

    void copyKeepsTypeAndData() {
        sw::test::TempPrefix prefix(bodyOf(fixture("wine8_system_excerpt.reg")));
        WineRegistryStore store(prefix.path());
        const QString env = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
        store.CopyValue(kHkeyLocalMachine, env, "PATH", kHkeyCurrentUser, "Environment", "Path");
        QVERIFY(
            prefix.readFile("user.reg").contains("\"Path\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%;"));
    }

    void writesOnlyTheKeysLines() {
        sw::test::TempPrefix prefix;
        const QByteArray original = fixture("wine8_user.reg");
        QVERIFY(prefix.writeFile("user.reg", original));
        WineRegistryStore store(prefix.path());
        store.WriteStringValue(kHkeyCurrentUser, kRun, "New", "n.exe");
        const QByteArray changed = prefix.readFile("user.reg");
        const qsizetype at = original.indexOf("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run]");
        const qsizetype next = original.indexOf("\n[", at) + 1;
        QCOMPARE(changed.left(at), original.left(at));
        QCOMPARE(changed.right(original.size() - next), original.mid(next));
        QVERIFY(changed.contains("\"New\"=\"n.exe\"\n\"Test\"="));
        // and back: deleting the value keeps every value line as Wine wrote it
        store.DeleteValue(kHkeyCurrentUser, kRun, "New");
        const QByteArray back = prefix.readFile("user.reg");
        QCOMPARE(back.size(), original.size());
        QCOMPARE(back.left(at), original.left(at));
        QCOMPARE(back.mid(next), original.mid(next));
    }

    void keepsPermissionsAndWritesThroughSymlinks() {
        sw::test::TempPrefix prefix;
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath("real-user.reg");
        QVERIFY(QFile::rename(prefix.hostPath("user.reg"), real));
        QVERIFY(QFile::link(real, prefix.hostPath("user.reg")));
        ::chmod(QFile::encodeName(real).constData(), 0640);
        WineRegistryStore store(prefix.path());
        store.WriteStringValue(kHkeyCurrentUser, kRun, "L", "linked");
        QVERIFY(QFileInfo(prefix.hostPath("user.reg")).isSymLink());
        QVERIFY(fileBytes(real).contains("\"L\"=\"linked\""));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        // a file without write bits is not replaced, not even by root; a change that changes nothing passes
        ::chmod(QFile::encodeName(real).constData(), 0444);
        const QByteArray locked = fileBytes(real);
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.WriteStringValue(kHkeyCurrentUser, kRun, "L", "x"));
        store.WriteStringValue(kHkeyCurrentUser, kRun, "L", "linked");
        QCOMPARE(fileBytes(real), locked);
        // no temporary files left behind
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(QDir(prefix.path()).entryList({"*swtmp*"}, QDir::Files | QDir::Hidden).size(), 0);
    }

    void neverWritesFilesWithoutHeader() {
        sw::test::TempPrefix prefix;
        const QByteArray broken = "garbage\n[Software] 1\n";
        QVERIFY(prefix.writeFile("user.reg", broken));
        WineRegistryStore store(prefix.path());
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.WriteStringValue(kHkeyCurrentUser, kRun, "x", "y"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.CreateKey(kHkeyCurrentUser, kRun));
        QCOMPARE(prefix.readFile("user.reg"), broken);
        QCOMPARE(namesIn(store, kHkeyCurrentUser, "Software"), QStringList{"<unreadable>"});
        QFile::remove(prefix.hostPath("user.reg"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.CreateKey(kHkeyCurrentUser, kRun));
        QVERIFY(!QFile::exists(prefix.hostPath("user.reg")));
    }

    void keepsAChangeMadeBetweenReadAndWrite() {
        sw::test::TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        store.CreateKey(kHkeyCurrentUser, kRun);
        WineRegistryStore other(prefix.path());
        int calls = 0;
        store.setBeforeReplaceHook([&] {
            if (calls++ == 0)
                other.WriteStringValue(kHkeyCurrentUser, kRun, "Other", "kept");
        });
        store.WriteStringValue(kHkeyCurrentUser, kRun, "Mine", "mine");
        QCOMPARE(calls, 2);
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, "Other", 0), "kept");
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, "Mine", 0), "mine");
        // a file that never stops changing: refused, the other writer's content stays
        int n = 0;
        store.setBeforeReplaceHook(
            [&] { other.WriteStringValue(kHkeyCurrentUser, kRun, "Busy", QString::number(++n)); });
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.WriteStringValue(kHkeyCurrentUser, kRun, "Lost", "x"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, "Busy", 0), QString::number(n));
        QVERIFY(!namesIn(store, kHkeyCurrentUser, kRun).contains("Lost"));
    }

    void refusesWritesWhileAServerLockIsHeld() {
        sw::test::TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        const QStringList locks = sw::wineServerLockFiles(prefix.path());
        QCOMPARE(locks.size(), 2);
        QVERIFY(locks[0].startsWith(QStringLiteral("/tmp/.wine-%1/server-").arg(::getuid())));
        QVERIFY(locks[1].startsWith(QStringLiteral("/run/user/%1/wine/server-").arg(::getuid())));
        store.WriteStringValue(kHkeyCurrentUser, kRun, "Before", "1");

        sw::test::HeldServerLock server(prefix.path()); // by the redirect file, as Debian's Wine
        QVERIFY(server.locked());
        const QByteArray before = prefix.readFile("user.reg");
        try {
            store.WriteStringValue(kHkeyCurrentUser, kRun, "During", "2");
            QFAIL("the write was not refused");
        } catch (const RegistryError& e) {
            QVERIFY(QString(e.what()).contains("Wine is running on the prefix"));
        }
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.CreateKey(kHkeyCurrentUser, "Software\\New"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.DeleteValue(kHkeyCurrentUser, kRun, "Before"));
        QCOMPARE(prefix.readFile("user.reg"), before);
        // reading stays possible
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, kRun, "Before", 0), "1");

        // a server that ended leaves its lock file behind: not running
        server.release();
        QVERIFY(sw::wineRunningOn(prefix.path()).isEmpty());
        store.DeleteValue(kHkeyCurrentUser, kRun, "Before");
    }

    void aKeyWrittenTwiceIsOneKey() {
        // Wine merges the sections of a key when it loads the file: the later data wins.
        sw::test::TempPrefix prefix({}, "\n[Software\\\\K] 1\n\"A\"=\"1\"\n\"B\"=\"old\"\n\n[Other] 1\n\n"
                                        "[software\\\\k] 1\n\"b\"=\"new\"\n\"C\"=\"3\"\n");
        WineRegistryStore store(prefix.path());
        const QString key = "Software\\K";
        QCOMPARE(namesIn(store, kHkeyCurrentUser, key), (QStringList{"A", "B", "C"}));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, key, "B", 0), "new");
        store.DeleteValue(kHkeyCurrentUser, key, "C");
        store.WriteStringValue(kHkeyCurrentUser, key, "b", "newest");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, key), (QStringList{"A", "B"}));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, key, "B", 0), "newest");
        const QByteArray file = prefix.readFile("user.reg");
        QVERIFY(!file.contains("\"C\"") && !file.contains("\"old\"") && !file.contains("\"new\""));
    }

    void readsAFreshFileAfterAnInPlaceChange() {
        sw::test::TempPrefix prefix({}, "\n[Software\\\\K] 1\n\"A\"=\"1\"\n");
        WineRegistryStore store(prefix.path());
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, "Software\\K", "A", 0), "1");
        QTest::qWait(5);
        QVERIFY(prefix.writeFile("user.reg", sw::test::TempPrefix::registryHeader(false) +
                                                 "\n[Software\\\\K] 1\n\"A\"=\"2\"\n"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, "Software\\K", "A", 0), "2");
    }
};

QTEST_GUILESS_MAIN(RegistryStoreTest)
#include "registry_store_test.moc"
