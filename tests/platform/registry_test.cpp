// The Wine registry format on bytes (fixtures written by Wine 8 itself: decoding, escaping as
// dump_strW, sort order, edits that touch only one key, bad input) and the store on prefix files
// (safe replacement, concurrent writers, refusal while a wineserver lock is held). The round trips
// with Wine itself are in prefix_wine_test.
#include "fixture_bytes.h"
#include "platform/wine/registry_text.h"
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_running.h"
#include "server_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace sw;
using namespace sw::winereg;
using sw::test::fileBytes;
using sw::test::TempPrefix;

namespace {

const QString kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const QByteArray kHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
constexpr std::uint64_t kTime = 134409905400941320ull; // #time=1dd8518c9b78b08, [..] 1796516940

QByteArray readFixture(const QString& name) {
    return sw::test::fixtureBytes("registry/" + name);
}

QList<ValueEntry> valuesOf(const QByteArray& file, const QString& key) {
    const auto section = findSection(file, key);
    return section ? parseValues(file, *section) : QList<ValueEntry>();
}

QString textOf(const QByteArray& file, const QString& key, const QString& name) {
    for (const ValueEntry& v : valuesOf(file, key))
        if (namesEqual(v.name, name))
            return valueText(v.type, v.data);
    return "<missing>";
}

// The sections after Wine's header (TempPrefix adds its own header).
QByteArray bodyOf(const QByteArray& file) {
    return file.mid(file.indexOf("\n\n[") + 1);
}

// The value names of a key, or "<unreadable>" when it cannot be enumerated.
QStringList namesIn(WineRegistryStore& store, std::int32_t root, const QString& key) {
    const auto listed = store.enumerateValues(root, key);
    return listed ? listed->names : QStringList{"<unreadable>"};
}

} // namespace

class RegistryTest : public QObject {
    Q_OBJECT

private slots:
    void readsValuesWrittenByWine() {
        const QByteArray file = readFixture("wine8_user.reg");
        const QString key = "Software\\SwFixture";
        QStringList names;
        for (const ValueEntry& v : valuesOf(file, key))
            names.append(v.name);
        QCOMPARE(names,
                 QStringList({"", "_under", "ab9\u00e91\u00e9z", "Bin", "Brack[et]", "Ctl", "Dw",
                              "Emoji\U0001f600x", "Exp", "Multi", "Quote\"d", "Qw", "Test", "\u00dcbung"}));
        // Looked up in another case: names compare case-insensitively, non-ASCII letters too.
        const std::pair<QString, QString> texts[] = {
            {QString(), "default \"quoted\" \\ back"},
            {"AB9\u00c91\u00e9Z", "\u00e9a \u00e99 \u00e9z"},
            {"Ctl", QString::fromLatin1("a\tb\001c\0017\033z\rq")},
            {"Dw", "305419896"},
            {"emoji\U0001f600X", "\u00e49 \u00e9. \U0001f600"},
            {"Exp", "%SystemRoot%\\system32\\a.exe"},
            {"Multi", "one\ntwo\nthree"},
            {"Quote\"D", "say \"hi\" \\\\ back\\"},
            {"Qw", "1234605616436508552"},
            {"Brack[et]", "[x]"},
            {"\u00fcBUNG", "C:\\Programme\\\u00dcbung\\\u00fc.exe"},
            {"Bin", "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
                    "202122232425262728292A2B2C2D2E2F"}};
        for (const auto& [name, text] : texts)
            QCOMPARE(textOf(file, key, name), text);
        // key names: escaped brackets, \x escapes, found case-insensitively
        const auto sub = findSection(file, u"software\\SWFIXTURE\\sub [X] \u00e41");
        QVERIFY(sub);
        QCOMPARE(sub->path, "Software\\SwFixture\\Sub [x] \u00c41");
        QVERIFY(!findSection(file, u"Software\\Microsoft\\Windows\\CurrentVersion\\Ru"));

        const QByteArray system = readFixture("wine8_system_excerpt.reg");
        QCOMPARE(textOf(system, "System\\CurrentControlSet\\Enum\\ROOT\\WINE\\WINEBUS", "HardwareId"),
                 "root\\winebus\nC:\\windows\\inf");
        QCOMPARE(textOf(system, "Software\\Classes\\Wow6432Node\\AppId", "SymbolicLinkValue"),
                 "\\Registry\\Machine\\Software\\Classes\\AppId");
    }

    // Every value line of real Wine files re-serialises to the same bytes, and setting a value to
    // what it holds writes nothing new.
    void valueLinesRoundTripByteForByte_data() {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("user.reg") << "wine8_user.reg";
        QTest::newRow("system.reg excerpt") << "wine8_system_excerpt.reg";
    }
    void valueLinesRoundTripByteForByte() {
        QFETCH(QString, fixture);
        const QByteArray file = readFixture(fixture);
        int count = 0;
        QByteArray rebuilt;
        qsizetype copied = 0;
        for (const ParsedKey& key : parseAll(file)) {
            QVERIFY(key.section.valid);
            for (const ValueEntry& v : key.values) {
                rebuilt += file.mid(copied, v.begin - copied) + formatValueLine(v.name, v.type, v.data);
                copied = v.end;
                ++count;
                bool changed = true;
                QCOMPARE(setValue(file, key.section.path, v.name, v.type, v.data, kTime, changed), file);
                QVERIFY2(!changed, qPrintable(key.section.path + QLatin1Char('/') + v.name));
            }
        }
        QVERIFY(count > 20);
        QCOMPARE(rebuilt + file.mid(copied), file);
    }

    // The escapes the fixtures lack (the round trip above checks the ones they hold); escaped text
    // decodes back, and a string without its terminator is refused.
    void escapesAsWine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("escaped");
        QTest::newRow("ctl before 8") << QString::fromLatin1("\0018") << QByteArray("\\18");
        QTest::newRow("C escapes") << QString::fromLatin1("\a\b\t\n\v\f\r\x1b")
                                   << QByteArray("\\a\\b\\t\\n\\v\\f\\r\\e");
        QTest::newRow("NUL before octal") << QString(QChar(0)) + "0" << QByteArray("\\0000");
        QTest::newRow("DEL stays") << QString::fromLatin1("\x7f") << QByteArray("\x7f");
    }
    void escapesAsWine() {
        QFETCH(QString, text);
        QFETCH(QByteArray, escaped);
        QCOMPARE(escapeString(text, false), escaped);
        qsizetype pos = 0;
        QCOMPARE(decodeString(escaped + "\"", pos, '"'), std::optional<QString>(text));
    }

    void decodesEveryEscape_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("x one digit") << QByteArray("\\x9z") << QString(QChar(9)) + "z";
        QTest::newRow("x greedy") << QByteArray("\\xe9a") << QString(QChar(0xe9a));
        QTest::newRow("x without digits") << QByteArray("\\xg") << "xg";
        QTest::newRow("octal max") << QByteArray("\\777") << QString(QChar(0777));
        QTest::newRow("octal one") << QByteArray("\\1c") << QString::fromLatin1("\001c");
        QTest::newRow("unknown escape") << QByteArray("\\q\\[\\]\\\"\\\\") << "q[]\"\\";
        QTest::newRow("raw utf8") << QByteArray("\xc3\xa9\xf0\x9f\x98\x80") << "\u00e9\U0001f600";
        QTest::newRow("bad utf8") << QByteArray("\xff") + "a" << QString(QChar(0xfffd)) + "a";
    }
    void decodesEveryEscape() {
        QFETCH(QByteArray, raw);
        QFETCH(QString, text);
        qsizetype pos = 0;
        QCOMPARE(decodeString(raw + "\"", pos, '"'), std::optional<QString>(text));
        pos = 0;
        QVERIFY(!decodeString(raw, pos, '"'));
    }

    void stringsInHexFormReadAsText() {
        const QByteArray file = kHeader + "\n[K] 1\n"
                                          "\"Odd\"=hex(1):41,00,42,00,43\n" // not NUL-terminated, odd length
                                          "\"Exp\"=hex(2):25,00,41,00\n"    // no final NUL
                                          "\"Multi\"=hex(7):61,00,00,00,62,00\n" // no final NUL
                                          "\"ShortDw\"=hex(4):01,02\n"           // DWORD of the wrong length
                                          "\"Str\"=str:\"plain\"\n"
                                          "\"None\"=hex(0):00,ff\n"
                                          "\"Be\"=hex(5):00,00,01,00\n"
                                          "\"Empty\"=hex:\n"
                                          "\"EmptySz\"=hex(1):\n";
        QStringList texts;
        for (const ValueEntry& v : valuesOf(file, "K")) {
            texts << valueText(v.type, v.data);
            if (v.name != "Str") // re-serialised as Wine would: hex form stays hex
                QCOMPARE(formatValueLine(v.name, v.type, v.data), file.mid(v.begin, v.end - v.begin));
        }
        QCOMPARE(texts, QStringList({"AB", "%A", "a\nb", "0102", "plain", "00FF", "256", "", ""}));
    }

    void insertsNewValuesInWineOrder() {
        const QByteArray file = readFixture("wine8_user.reg");
        bool changed = false;
        QByteArray out = setValue(file, kRun, u"_first", kRegSz, stringData(u"1"), kTime, changed);
        QVERIFY(changed);
        out = setValue(out, kRun, u"Second", kRegSz, stringData(u"2"), kTime, changed);
        out = setValue(out, kRun, u"\u00fcx", kRegSz, stringData(u"3"), kTime, changed);
        out = setValue(out, kRun, u"test", kRegSz, stringData(u"new"), kTime, changed);
        const auto section = findSection(out, kRun);
        QVERIFY(section);
        QCOMPARE(out.mid(section->begin, section->end - section->begin),
                 QByteArray("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1796516940\n"
                            "#time=1dd8518c9b78b08\n"
                            "\"_first\"=\"1\"\n"
                            "\"Second\"=\"2\"\n"
                            "\"Test\"=\"new\"\n"
                            "\"\\x00dcbung\"=\"C:\\\\Programme\\\\\\x00dcbung\\\\\\xfc.exe\"\n"
                            "\"\\xfcx\"=\"3\"\n"
                            "\n"));
        // every byte outside the key is unchanged
        const auto old = findSection(file, kRun);
        QCOMPARE(out.left(section->begin), file.left(old->begin));
        QCOMPARE(out.mid(section->end), file.mid(old->end));
    }

    void createsKeysInWineOrder() {
        const QByteArray file =
            kHeader + "\n[A] 1\n#time=1\n\"v\"=\"1\"\n\n[A\\\\C] 1\n#time=1\n\n[B] 1\n#time=1\n";
        bool changed = false;
        QByteArray out = createKey(file, u"a\\b\\New [x]", kTime, changed);
        QVERIFY(changed);
        QCOMPARE(
            out,
            kHeader +
                "\n[A] 1\n#time=1\n\"v\"=\"1\"\n\n[A\\\\b\\\\New \\[x\\]] 1796516940\n#time=1dd8518c9b78b08\n"
                "\n[A\\\\C] 1\n#time=1\n\n[B] 1\n#time=1\n");
        QCOMPARE(createKey(out, u"A\\B\\NEW [X]", kTime, changed), out);
        QVERIFY(!changed);
        QVERIFY(compareKeyPaths(u"A\\B", u"A B") < 0); // "\\" sorts first
        createKey(out, u"a\\B", kTime, changed);       // a key that only has subkeys exists already
        QVERIFY(!changed);
        out = createKey(out, u"Z\\Y", kTime, changed);
        QVERIFY(out.endsWith("[B] 1\n#time=1\n\n[Z\\\\Y] 1796516940\n#time=1dd8518c9b78b08\n"));
        // a value in a missing key creates the key with the value
        out = setValue(kHeader, u"Software\\X", QString(), kRegSz, stringData(u"d"), kTime, changed);
        QCOMPARE(out, kHeader + "\n[Software\\\\X] 1796516940\n#time=1dd8518c9b78b08\n@=\"d\"\n");
    }

    // CR LF lines, leading blanks, a value line before any key, a last line without newline,
    // duplicates differing in case, comments and unknown lines inside a key, a value before the
    // #time= line (found by the fuzzer), and damaged lines, which are skipped one by one.
    void toleratesOddLayoutAndDamagedLines() {
        const QByteArray file =
            "WINE REGISTRY Version 2\r\n\"Orphan\"=\"x\"\r\n\r\n  [K] 5\r\n#time=1\r\n; comment\r\n"
            "  \"A\"=\"1\"\r\nbogus line\r\n\"a\"=\"2\"\r\n\"B\"=hex:01,\\\r\n   02\r\n[L] 1\n\"z\"=\"last\"";
        const auto values = valuesOf(file, "K");
        QCOMPARE(values.size(), 3);
        QCOMPARE(valueText(values[2].type, values[2].data), "0102");
        QCOMPARE(textOf(file, "L", "Z"), "last");
        bool changed = false;
        QByteArray out = setValue(file, u"L", u"y", kRegSz, stringData(u"n"), kTime, changed);
        QVERIFY(out.endsWith("[L] 1796516940\n#time=1dd8518c9b78b08\n\"y\"=\"n\"\n\"z\"=\"last\"\n"));
        out = setValue(file, u"K", u"A", kRegSz, stringData(u"3"), kTime, changed);
        QCOMPARE(valuesOf(out, "K").size(), 2);
        QCOMPARE(textOf(out, "K", "a"), "3");
        QVERIFY(out.startsWith(
            "WINE REGISTRY Version 2\r\n\"Orphan\"=\"x\"\r\n\r\n  [K] 1796516940\n#time=1dd8518c9b78b08\n"
            "; comment\r\n\"A\"=\"3\"\nbogus line\r\n\"B\"=hex:01,\\\r\n   02\r\n[L] 1\n"));

        const QByteArray timeLast = kHeader + "\n[K] 1\n\"b\"=\"1\"\n#time=1\n";
        QCOMPARE(setValue(timeLast, u"K", u"c", kRegSz, stringData(u"2"), kTime, changed),
                 kHeader + "\n[K] 1796516940\n\"b\"=\"1\"\n\"c\"=\"2\"\n#time=1dd8518c9b78b08\n");

        QCOMPARE(valuesOf(kHeader + "\n[K] 1\n\"v\"=hex:01,\\", "K").size(), 0);
        QCOMPARE(
            valuesOf(kHeader + "\n[K] 1\n\"v\"=hex:100,02\n\"w\"=hex(zz):01\n\"x\"=hex(1:01\n\"y\"=\"ok\"\n",
                     "K")
                .size(),
            1);
        QCOMPARE(valuesOf(kHeader + "\n[K\n\"v\"=\"1\"\n[K] 1\n\"w\"=\"2\"\n", "K").size(), 1);
    }

    // HKCU is user.reg and HKLM system.reg; a key with only subkeys has no values, a missing key
    // cannot be enumerated or read.
    void storeReadsKeysOfBothFiles() {
        TempPrefix prefix(bodyOf(readFixture("wine8_system_excerpt.reg")),
                          bodyOf(readFixture("wine8_user.reg")));
        WineRegistryStore store(prefix.path());
        const auto listed = store.enumerateValues(kHkeyCurrentUser, "software\\swfixture");
        QVERIFY(listed);
        const QStringList& names = listed->names;
        const QList<std::uint32_t>& kinds = listed->kinds;
        QCOMPARE(kinds.size(), 14);
        QCOMPARE(names.first(), store.skippedValueName());
        QCOMPARE(store.readValue(kHkeyCurrentUser, "Software\\SwFixture", names.last(), kinds.last()),
                 "C:\\Programme\\\u00dcbung\\\u00fc.exe");
        QCOMPARE(namesIn(store, kHkeyLocalMachine, kRun), QStringList{"MachineApp"});
        QCOMPARE(namesIn(store, kHkeyLocalMachine, kRun + "Once"), QStringList());
        QCOMPARE(namesIn(store, kHkeyLocalMachine, "Software\\Microsoft"), QStringList());
        QCOMPARE(namesIn(store, kHkeyLocalMachine, "Software\\Microsoft\\Windows\\Current"),
                 QStringList{"<unreadable>"});
        QCOMPARE(namesIn(store, 12345, kRun), QStringList{"<unreadable>"});
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.readValue(kHkeyLocalMachine, kRun, "nope", 0));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.readValue(kHkeyLocalMachine, "No\\Key", "x", 0));
    }

    void storeWritesCopiesDeletes() {
        TempPrefix prefix(bodyOf(readFixture("wine8_system_excerpt.reg")));
        WineRegistryStore store(prefix.path());
        store.createKey(kHkeyCurrentUser, kRun);
        const QByteArray afterCreate = prefix.readFile("user.reg");
        QVERIFY(afterCreate.contains("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] "));
        store.createKey(kHkeyCurrentUser, kRun.toUpper()); // existing: unchanged
        QCOMPARE(prefix.readFile("user.reg"), afterCreate);
        const QString text = "C:\\Pr\u00f6g \"x\"\\a.exe /min \U0001f600\t\u0001";
        store.writeStringValue(kHkeyCurrentUser, kRun, "App", text);
        QCOMPARE(store.readValue(kHkeyCurrentUser, kRun, "app", 1), text);
        store.writeStringValue(kHkeyCurrentUser, kRun, "APP", "second");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), QStringList{"App"});
        store.copyValue(kHkeyCurrentUser, kRun, "App", kHkeyLocalMachine, "Software\\StartWarden\\Disabled",
                        "App copy");
        QCOMPARE(store.readValue(kHkeyLocalMachine, "Software\\StartWarden\\Disabled", "App copy", 0),
                 "second");
        QCOMPARE(store.readValue(kHkeyCurrentUser, kRun, "App", 0), "second");
        // a copy keeps the value's type
        const QString env = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
        store.copyValue(kHkeyLocalMachine, env, "PATH", kHkeyCurrentUser, "Environment", "Path");
        QVERIFY(prefix.readFile("user.reg").contains("\"Path\"=str(2):\"%SystemRoot%\\\\system32;"));
        store.deleteValue(kHkeyCurrentUser, kRun, "app");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), QStringList());
        store.deleteValue(kHkeyCurrentUser, kRun, "app"); // already gone: fine
        QVERIFY_THROWS_EXCEPTION(
            RegistryError, store.copyValue(kHkeyCurrentUser, kRun, "gone", kHkeyCurrentUser, kRun, "x"));
    }

    // Deleting a value written into a file of Wine's gives back every line as Wine wrote it.
    void storeDeleteRestoresWinesLines() {
        TempPrefix prefix;
        const QByteArray original = readFixture("wine8_user.reg");
        QVERIFY(prefix.writeFile("user.reg", original));
        WineRegistryStore store(prefix.path());
        store.writeStringValue(kHkeyCurrentUser, kRun, "New", "n.exe");
        QVERIFY(prefix.readFile("user.reg").contains("\"New\"=\"n.exe\"\n\"Test\"="));
        store.deleteValue(kHkeyCurrentUser, kRun, "New");
        const QByteArray back = prefix.readFile("user.reg");
        const qsizetype at = original.indexOf("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run]");
        const qsizetype next = original.indexOf("\n[", at) + 1;
        QCOMPARE(back.size(), original.size()); // only the key's time changed
        QCOMPARE(back.left(at), original.left(at));
        QCOMPARE(back.mid(next), original.mid(next));
    }

    void storeKeepsPermissionsAndWritesThroughSymlinks() {
        TempPrefix prefix;
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath("real-user.reg");
        QVERIFY(QFile::rename(prefix.hostPath("user.reg"), real));
        QVERIFY(QFile::link(real, prefix.hostPath("user.reg")));
        ::chmod(QFile::encodeName(real).constData(), 0640);
        WineRegistryStore store(prefix.path());
        store.writeStringValue(kHkeyCurrentUser, kRun, "L", "linked");
        QVERIFY(QFileInfo(prefix.hostPath("user.reg")).isSymLink());
        QVERIFY(fileBytes(real).contains("\"L\"=\"linked\""));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        // a file without write bits is not replaced, not even by root; a change that changes nothing passes
        ::chmod(QFile::encodeName(real).constData(), 0444);
        const QByteArray locked = fileBytes(real);
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.writeStringValue(kHkeyCurrentUser, kRun, "L", "x"));
        store.writeStringValue(kHkeyCurrentUser, kRun, "L", "linked");
        QCOMPARE(fileBytes(real), locked);
        // no temporary files left behind
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(QDir(prefix.path()).entryList({"*swtmp*"}, QDir::Files | QDir::Hidden).size(), 0);
    }

    void storeNeverWritesFilesWithoutHeader() {
        TempPrefix prefix;
        const QByteArray broken = "garbage\n[Software] 1\n";
        QVERIFY(prefix.writeFile("user.reg", broken));
        WineRegistryStore store(prefix.path());
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.writeStringValue(kHkeyCurrentUser, kRun, "x", "y"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.createKey(kHkeyCurrentUser, kRun));
        QCOMPARE(prefix.readFile("user.reg"), broken);
        QCOMPARE(namesIn(store, kHkeyCurrentUser, "Software"), QStringList{"<unreadable>"});
        QFile::remove(prefix.hostPath("user.reg"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.createKey(kHkeyCurrentUser, kRun));
        QVERIFY(!QFile::exists(prefix.hostPath("user.reg")));
    }

    void storeKeepsAChangeMadeBetweenReadAndWrite() {
        TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        store.createKey(kHkeyCurrentUser, kRun);
        WineRegistryStore other(prefix.path());
        int calls = 0;
        store.setBeforeReplaceHook([&] {
            if (calls++ == 0)
                other.writeStringValue(kHkeyCurrentUser, kRun, "Other", "kept");
        });
        store.writeStringValue(kHkeyCurrentUser, kRun, "Mine", "mine");
        QCOMPARE(calls, 2);
        QCOMPARE(namesIn(store, kHkeyCurrentUser, kRun), (QStringList{"Mine", "Other"}));
        // a file that never stops changing: refused, the other writer's content stays
        int n = 0;
        store.setBeforeReplaceHook(
            [&] { other.writeStringValue(kHkeyCurrentUser, kRun, "Busy", QString::number(++n)); });
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.writeStringValue(kHkeyCurrentUser, kRun, "Lost", "x"));
        QCOMPARE(store.readValue(kHkeyCurrentUser, kRun, "Busy", 0), QString::number(n));
        QVERIFY(!namesIn(store, kHkeyCurrentUser, kRun).contains("Lost"));
    }

    // The lock files' places are checked against a running wineserver in prefix_wine_test.
    void storeRefusesWritesWhileAServerLockIsHeld() {
        TempPrefix prefix;
        WineRegistryStore store(prefix.path());
        store.writeStringValue(kHkeyCurrentUser, kRun, "Before", "1");
        test::HeldServerLock server(prefix.path()); // by the redirect file, as Debian's Wine
        QVERIFY(server.locked());
        const QByteArray before = prefix.readFile("user.reg");
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 store.writeStringValue(kHkeyCurrentUser, kRun, "During", "2"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.createKey(kHkeyCurrentUser, "Software\\New"));
        QVERIFY_THROWS_EXCEPTION(RegistryError, store.deleteValue(kHkeyCurrentUser, kRun, "Before"));
        QCOMPARE(prefix.readFile("user.reg"), before);
        QCOMPARE(store.readValue(kHkeyCurrentUser, kRun, "Before", 0), "1"); // reading stays possible
        // a server that ended leaves its lock file behind: not running
        server.release();
        QVERIFY(wineRunningOn(prefix.path()).isEmpty());
        store.deleteValue(kHkeyCurrentUser, kRun, "Before");
    }

    // Wine merges the sections of a key when it loads the file: the later data wins.
    void storeTakesAKeyWrittenTwiceAsOneKey() {
        TempPrefix prefix({}, "\n[Software\\\\K] 1\n\"A\"=\"1\"\n\"B\"=\"old\"\n\n[Other] 1\n\n"
                              "[software\\\\k] 1\n\"b\"=\"new\"\n\"C\"=\"3\"\n");
        WineRegistryStore store(prefix.path());
        const QString key = "Software\\K";
        QCOMPARE(namesIn(store, kHkeyCurrentUser, key), (QStringList{"A", "B", "C"}));
        QCOMPARE(store.readValue(kHkeyCurrentUser, key, "B", 0), "new");
        store.deleteValue(kHkeyCurrentUser, key, "C");
        store.writeStringValue(kHkeyCurrentUser, key, "b", "newest");
        QCOMPARE(namesIn(store, kHkeyCurrentUser, key), (QStringList{"A", "B"}));
        QCOMPARE(store.readValue(kHkeyCurrentUser, key, "B", 0), "newest");
        const QByteArray file = prefix.readFile("user.reg");
        QVERIFY(!file.contains("\"C\"") && !file.contains("\"old\"") && !file.contains("\"new\""));
        // a file changed in place after a read is read afresh
        QTest::qWait(5);
        QVERIFY(prefix.writeFile("user.reg",
                                 TempPrefix::registryHeader(false) + "\n[Software\\\\K] 1\n\"A\"=\"2\"\n"));
        QCOMPARE(store.readValue(kHkeyCurrentUser, key, "A", 0), "2");
    }

    // A listing keeps only the start of a huge text; reads, copies and writes keep it whole.
    void aHugeValueIsListedCutAndWrittenWhole() {
        const QByteArray huge = "C:\\\\x.exe " + QByteArray(8 << 20, 'a');
        TempPrefix prefix({},
                          TempPrefix::runSection("\"Big\"=\"" + huge + "\"\n\"Small\"=\"C:\\\\s.exe\"\n"));
        WineRegistryStore store(prefix.path());
        const QList<RegistryValueText> listed = store.readValues(kHkeyCurrentUser, test::kRunKey);
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0].data.size(), kListedDataUnits);
        QVERIFY(listed[0].data.startsWith("C:\\x.exe aaa"));
        QCOMPARE(listed[1].data, QString("C:\\s.exe"));
        // whole, though the listing read the key first
        QCOMPARE(store.readValue(kHkeyCurrentUser, test::kRunKey, "Big", 0).size(), huge.size() - 1);
        store.copyValue(kHkeyCurrentUser, test::kRunKey, "Big", kHkeyCurrentUser, "Software\\Copy", "Big");
        store.writeStringValue(kHkeyCurrentUser, test::kRunKey, "Small", "REM C:\\s.exe");
        const QByteArray file = prefix.readFile("user.reg");
        QCOMPARE(file.count("\"Big\"=\"" + huge + "\"\n"), 2);
        QVERIFY(file.contains("\"Small\"=\"REM C:\\\\s.exe\"\n"));
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "registry_test.moc"
