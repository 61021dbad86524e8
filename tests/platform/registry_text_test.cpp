// The Wine registry format on bytes: decoding every construct Wine 8 writes (fixtures written by Wine
// itself), escaping exactly as dump_strW, sort order, edits that touch only one key, bad input.
#include "fixture_bytes.h"
#include "platform/registry_store.h"
#include "platform/wine/registry_text.h"

#include <QtTest>

using namespace sw::winereg;

namespace {

QByteArray readFixture(const QString& name) {
    return sw::test::fixtureBytes("registry/" + name);
}

const QByteArray kHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
constexpr std::uint64_t kTime = 134409905400941320ull; // #time=1dd8518c9b78b08, [..] 1796516940

QList<ValueEntry> valuesOf(const QByteArray& file, const QString& key) {
    const auto section = findSection(file, key);
    if (!section)
        return {};
    return parseValues(file, *section);
}

QString textOf(const QByteArray& file, const QString& key, const QString& name) {
    for (const ValueEntry& v : valuesOf(file, key))
        if (namesEqual(v.name, name))
            return valueText(v.type, v.data);
    return "<missing>";
}

} // namespace

class RegistryTextTest : public QObject {
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
        QVERIFY(keyExists(file, u"software\\microsoft"));
        QVERIFY(!keyExists(file, u"software\\nothere"));

        const QByteArray system = readFixture("wine8_system_excerpt.reg");
        QCOMPARE(textOf(system, "System\\CurrentControlSet\\Enum\\ROOT\\WINE\\WINEBUS", "HardwareId"),
                 "root\\winebus\nC:\\windows\\inf");
        QCOMPARE(textOf(system, "Software\\Classes\\Wow6432Node\\AppId", "SymbolicLinkValue"),
                 "\\Registry\\Machine\\Software\\Classes\\AppId");
        const QString runOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
        QVERIFY(findSection(system, runOnce) && valuesOf(system, runOnce).isEmpty());
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
                rebuilt += file.mid(copied, v.begin - copied);
                rebuilt += formatValueLine(v.name, v.type, v.data);
                copied = v.end;
                ++count;
                bool changed = true;
                QCOMPARE(setValue(file, key.section.path, v.name, v.type, v.data, kTime, changed), file);
                QVERIFY2(!changed, qPrintable(key.section.path + QLatin1Char('/') + v.name));
            }
        }
        rebuilt += file.mid(copied);
        QVERIFY(count > 20);
        QCOMPARE(rebuilt, file);
    }

    // The byte round trip above checks the escapes the fixtures hold (hex digits after \x, octal
    // digits after a control character, quotes, brackets, surrogates); these are the ones they lack.
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
        QVERIFY(!decodeString(raw, pos, '"')); // no terminator
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
        for (const ValueEntry& v : valuesOf(file, "K"))
            texts << valueText(v.type, v.data);
        QCOMPARE(texts, QStringList({"AB", "%A", "a\nb", "0102", "plain", "00FF", "256", "", ""}));
        // re-serialised as Wine would: hex form stays hex
        for (const ValueEntry& v : valuesOf(file, "K"))
            if (v.name != "Str")
                QCOMPARE(formatValueLine(v.name, v.type, v.data), file.mid(v.begin, v.end - v.begin));
    }

    void insertsNewValuesInWineOrder() {
        const QByteArray file = readFixture("wine8_user.reg");
        const QString run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
        bool changed = false;
        QByteArray out = setValue(file, run, u"_first", kRegSz, stringData(u"1"), kTime, changed);
        QVERIFY(changed);
        out = setValue(out, run, u"Second", kRegSz, stringData(u"2"), kTime, changed);
        out = setValue(out, run, u"\u00fcx", kRegSz, stringData(u"3"), kTime, changed);
        out = setValue(out, run, u"test", kRegSz, stringData(u"new"), kTime, changed);
        const auto section = findSection(out, run);
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
        const auto old = findSection(file, run);
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
        QByteArray again = createKey(out, u"A\\B\\NEW [X]", kTime, changed);
        QVERIFY(!changed);
        QCOMPARE(again, out);
        QVERIFY(compareKeyPaths(u"A\\B", u"A B") < 0); // "\\" sorts first
        // a key that only has subkeys exists already
        createKey(out, u"a\\B", kTime, changed);
        QVERIFY(!changed);
        out = createKey(out, u"Z\\Y", kTime, changed);
        QVERIFY(out.endsWith("[B] 1\n#time=1\n\n[Z\\\\Y] 1796516940\n#time=1dd8518c9b78b08\n"));
        // a value in a missing key creates the key with the value
        out = setValue(kHeader, u"Software\\X", QString(), kRegSz, stringData(u"d"), kTime, changed);
        QCOMPARE(out, kHeader + "\n[Software\\\\X] 1796516940\n#time=1dd8518c9b78b08\n@=\"d\"\n");
    }

    void toleratesOddButValidLayout() {
        // CR LF lines, leading blanks, a value line before any key, a last line without newline,
        // duplicates differing in case, comments and unknown lines inside a key.
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
    }

    // found by the fuzzer: an insertion where the replaced #time= line starts
    void valueBeforeTimeLine() {
        const QByteArray file = kHeader + "\n[K] 1\n\"b\"=\"1\"\n#time=1\n";
        bool changed = false;
        const QByteArray out = setValue(file, u"K", u"c", kRegSz, stringData(u"2"), kTime, changed);
        QCOMPARE(out, kHeader + "\n[K] 1796516940\n\"b\"=\"1\"\n\"c\"=\"2\"\n#time=1dd8518c9b78b08\n");
    }

    // Damaged lines are skipped one by one; the rest of the key still reads.
    void damagedLinesAreSkipped() {
        const QByteArray cont = kHeader + "\n[K] 1\n\"v\"=hex:01,\\";
        QCOMPARE(valuesOf(cont, "K").size(), 0);
        const QByteArray badHex =
            kHeader + "\n[K] 1\n\"v\"=hex:100,02\n\"w\"=hex(zz):01\n\"x\"=hex(1:01\n\"y\"=\"ok\"\n";
        QCOMPARE(valuesOf(badHex, "K").size(), 1);
        const QByteArray badKey = kHeader + "\n[K\n\"v\"=\"1\"\n[K] 1\n\"w\"=\"2\"\n";
        QCOMPARE(valuesOf(badKey, "K").size(), 1);
    }
};

QTEST_GUILESS_MAIN(RegistryTextTest)
#include "registry_text_test.moc"
