// The Wine registry format on bytes: decoding every construct Wine 8 writes (fixtures written by Wine
// itself), escaping exactly as dump_strW, sort order, edits that touch only one key, bad input.
#include "platform/registry_store.h"
#include "platform/wine/registry_text.h"

#include <QFile>
#include <QtTest>

using namespace sw::winereg;

namespace {

QByteArray readFixture(const QString& name) {
    QFile f(QStringLiteral(SW_TEST_FIXTURES "/registry/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return f.readAll();
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
    return QStringLiteral("<missing>");
}

} // namespace

class RegistryTextTest : public QObject {
    Q_OBJECT

private slots:
    void readsValuesWrittenByWine() {
        const QByteArray file = readFixture(QStringLiteral("wine8_user.reg"));
        const QString key = QStringLiteral("Software\\SwFixture");
        const QList<ValueEntry> values = valuesOf(file, key);
        QStringList names;
        for (const ValueEntry& v : values)
            names.append(v.name);
        const QStringList expected{
            "",    "_under", "ab9\u00e91\u00e9z", "Bin", "Brack[et]", "Ctl",       "Dw", "Emoji\U0001f600x",
            "Exp", "Multi",  "Quote\"d",          "Qw",  "Test",      "\u00dcbung"};
        QCOMPARE(names, expected);
        QCOMPARE(textOf(file, key, QString()), QStringLiteral("default \"quoted\" \\ back"));
        QCOMPARE(textOf(file, key, QStringLiteral("AB9\u00c91\u00e9Z")),
                 QStringLiteral("\u00e9a \u00e99 \u00e9z"));
        QCOMPARE(textOf(file, key, QStringLiteral("Ctl")), QString::fromLatin1("a\tb\001c\0017\033z\rq"));
        QCOMPARE(textOf(file, key, QStringLiteral("Dw")), QStringLiteral("305419896"));
        QCOMPARE(textOf(file, key, QStringLiteral("emoji\U0001f600X")),
                 QStringLiteral("\u00e49 \u00e9. \U0001f600"));
        QCOMPARE(textOf(file, key, QStringLiteral("Exp")), QStringLiteral("%SystemRoot%\\system32\\a.exe"));
        QCOMPARE(textOf(file, key, QStringLiteral("Multi")), QStringLiteral("one\ntwo\nthree"));
        QCOMPARE(textOf(file, key, QStringLiteral("Quote\"D")), QStringLiteral("say \"hi\" \\\\ back\\"));
        QCOMPARE(textOf(file, key, QStringLiteral("Qw")), QStringLiteral("1234605616436508552"));
        QCOMPARE(textOf(file, key, QStringLiteral("Brack[et]")), QStringLiteral("[x]"));
        QCOMPARE(textOf(file, key, QStringLiteral("\u00fcBUNG")),
                 QStringLiteral("C:\\Programme\\\u00dcbung\\\u00fc.exe"));
        QCOMPARE(textOf(file, key, QStringLiteral("Bin")),
                 QStringLiteral("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
                                "202122232425262728292A2B2C2D2E2F"));
        // key names: escaped brackets, \x escapes, found case-insensitively
        const auto sub = findSection(file, QStringLiteral("software\\SWFIXTURE\\sub [X] \u00e41"));
        QVERIFY(sub);
        QCOMPARE(sub->path, QStringLiteral("Software\\SwFixture\\Sub [x] \u00c41"));
        QVERIFY(findSection(file, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run")));
        QVERIFY(!findSection(file, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Ru")));
        qsizetype pos = 0;
        QVERIFY(!decodeString(QByteArray("abc\\"), pos, '"')); // an escape cut off at the end
        QVERIFY(keyExists(file, QStringLiteral("software\\microsoft")));
        QVERIFY(!keyExists(file, QStringLiteral("software\\nothere")));
    }

    void readsSystemRegConstructs() {
        const QByteArray file = readFixture(QStringLiteral("wine8_system_excerpt.reg"));
        QCOMPARE(textOf(file, QStringLiteral("System\\CurrentControlSet\\Enum\\ROOT\\WINE\\WINEBUS"),
                        QStringLiteral("HardwareId")),
                 QStringLiteral("root\\winebus\nC:\\windows\\inf"));
        QCOMPARE(textOf(file, QStringLiteral("Software\\Classes\\Wow6432Node\\AppId"),
                        QStringLiteral("SymbolicLinkValue")),
                 QStringLiteral("\\Registry\\Machine\\Software\\Classes\\AppId"));
        QCOMPARE(
            valuesOf(file, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce")).size(),
            0);
        QVERIFY(findSection(file, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce")));
        QCOMPARE(textOf(file, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"),
                        QStringLiteral("winemenubuilder")),
                 QStringLiteral("C:\\windows\\system32\\winemenubuilder.exe -a -r"));
    }

    // Every value line of real Wine files re-serialises to the same bytes.
    void valueLinesRoundTripByteForByte_data() {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("user.reg") << QStringLiteral("wine8_user.reg");
        QTest::newRow("system.reg excerpt") << QStringLiteral("wine8_system_excerpt.reg");
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
            }
        }
        rebuilt += file.mid(copied);
        QVERIFY(count > 20);
        QCOMPARE(rebuilt, file);
    }

    // Setting every value of a real user.reg to what it holds writes nothing new.
    void rewritingUnchangedValuesKeepsFile() {
        const QByteArray file = readFixture(QStringLiteral("wine8_user.reg"));
        for (const ParsedKey& key : parseAll(file)) {
            for (const ValueEntry& v : key.values) {
                bool changed = true;
                const QByteArray out =
                    setValue(file, key.section.path, v.name, v.type, v.data, kTime, changed);
                QVERIFY2(!changed, qPrintable(key.section.path + QLatin1Char('/') + v.name));
                QCOMPARE(out, file);
            }
        }
    }

    void escapesAsWine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("keyName");
        QTest::addColumn<QByteArray>("escaped");
        auto row = [](const char* name, const QString& text, const QByteArray& escaped, bool key = false) {
            QTest::newRow(name) << text << key << escaped;
        };
        row("e-acute before a", QStringLiteral("\u00e9a"), "\\x00e9a");
        row("e-acute before z", QStringLiteral("\u00e9z"), "\\xe9z");
        row("U-umlaut before b", QStringLiteral("\u00dcbung"), "\\x00dcbung");
        row("ctl before octal digit", QString::fromLatin1("\0017"), "\\0017");
        row("ctl before 8", QString::fromLatin1("\0018"), "\\18");
        row("C escapes", QString::fromLatin1("\a\b\t\n\v\f\r\x1b"), "\\a\\b\\t\\n\\v\\f\\r\\e");
        row("NUL", QString(QChar(0)) + QStringLiteral("x0"), "\\0x0");
        row("NUL before octal", QString(QChar(0)) + QStringLiteral("0"), "\\0000");
        row("quote and backslash", QStringLiteral("a\"b\\c"), "a\\\"b\\\\c");
        row("brackets in data", QStringLiteral("[x]"), "[x]");
        row("brackets in key", QStringLiteral("[x]\""), "\\[x\\]\"", true);
        row("surrogates", QStringLiteral("\U0001f600x"), "\\xd83d\\xde00x");
        row("surrogate low before hex", QStringLiteral("\U0001f600f"), "\\xd83d\\xde00f");
        row("DEL stays", QString::fromLatin1("\x7f"), "\x7f");
    }
    void escapesAsWine() {
        QFETCH(QString, text);
        QFETCH(bool, keyName);
        QFETCH(QByteArray, escaped);
        QCOMPARE(escapeString(text, keyName), escaped);
        qsizetype pos = 0;
        const QByteArray quoted = escaped + (keyName ? "]" : "\"");
        QCOMPARE(decodeString(quoted, pos, keyName ? ']' : '"'), std::optional<QString>(text));
        QCOMPARE(pos, quoted.size());
    }

    void decodesEveryEscape_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("x one digit") << QByteArray("\\x9z") << QString(QChar(9)) + QStringLiteral("z");
        QTest::newRow("x greedy") << QByteArray("\\xe9a") << QString(QChar(0xe9a));
        QTest::newRow("x without digits") << QByteArray("\\xg") << QStringLiteral("xg");
        QTest::newRow("octal max") << QByteArray("\\777") << QString(QChar(0777));
        QTest::newRow("octal one") << QByteArray("\\1c") << QString::fromLatin1("\001c");
        QTest::newRow("unknown escape") << QByteArray("\\q\\[\\]\\\"\\\\") << QStringLiteral("q[]\"\\");
        QTest::newRow("raw utf8") << QByteArray("\xc3\xa9\xf0\x9f\x98\x80")
                                  << QStringLiteral("\u00e9\U0001f600");
        QTest::newRow("bad utf8") << QByteArray("\xff") + "a" << QString(QChar(0xfffd)) + QStringLiteral("a");
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
        for (const ValueEntry& v : valuesOf(file, QStringLiteral("K")))
            texts << valueText(v.type, v.data);
        QCOMPARE(texts, QStringList({"AB", "%A", "a\nb", "0102", "plain", "00FF", "256", "", ""}));
        // re-serialised as Wine would: hex form stays hex
        for (const ValueEntry& v : valuesOf(file, QStringLiteral("K")))
            if (v.name != QStringLiteral("Str"))
                QCOMPARE(formatValueLine(v.name, v.type, v.data), file.mid(v.begin, v.end - v.begin));
    }

    void insertsNewValuesInWineOrder() {
        const QByteArray file = readFixture(QStringLiteral("wine8_user.reg"));
        const QString run = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
        bool changed = false;
        QByteArray out = setValue(file, run, QStringLiteral("_first"), kRegSz,
                                  stringData(QStringLiteral("1")), kTime, changed);
        QVERIFY(changed);
        out = setValue(out, run, QStringLiteral("Second"), kRegSz, stringData(QStringLiteral("2")), kTime,
                       changed);
        out = setValue(out, run, QStringLiteral("\u00fcx"), kRegSz, stringData(QStringLiteral("3")), kTime,
                       changed);
        out = setValue(out, run, QStringLiteral("test"), kRegSz, stringData(QStringLiteral("new")), kTime,
                       changed);
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
        QByteArray out = createKey(file, QStringLiteral("a\\b\\New [x]"), kTime, changed);
        QVERIFY(changed);
        QCOMPARE(
            out,
            kHeader +
                "\n[A] 1\n#time=1\n\"v\"=\"1\"\n\n[A\\\\b\\\\New \\[x\\]] 1796516940\n#time=1dd8518c9b78b08\n"
                "\n[A\\\\C] 1\n#time=1\n\n[B] 1\n#time=1\n");
        QByteArray again = createKey(out, QStringLiteral("A\\B\\NEW [X]"), kTime, changed);
        QVERIFY(!changed);
        QCOMPARE(again, out);
        QVERIFY(compareKeyPaths(QStringLiteral("A\\B"), QStringLiteral("A B")) < 0); // "\\" sorts first
        // a key that only has subkeys exists already
        createKey(out, QStringLiteral("a\\B"), kTime, changed);
        QVERIFY(!changed);
        out = createKey(out, QStringLiteral("Z\\Y"), kTime, changed);
        QVERIFY(out.endsWith("[B] 1\n#time=1\n\n[Z\\\\Y] 1796516940\n#time=1dd8518c9b78b08\n"));
        // a value in a missing key creates the key with the value
        out = setValue(kHeader, QStringLiteral("Software\\X"), QString(), kRegSz,
                       stringData(QStringLiteral("d")), kTime, changed);
        QCOMPARE(out, kHeader + "\n[Software\\\\X] 1796516940\n#time=1dd8518c9b78b08\n@=\"d\"\n");
    }

    void deletesOnlyTheValue() {
        const QByteArray file = readFixture(QStringLiteral("wine8_user.reg"));
        const QString key = QStringLiteral("Software\\SwFixture");
        bool changed = false;
        const QByteArray out = deleteValue(file, key, QStringLiteral("BIN"), kTime, changed);
        QVERIFY(changed);
        QVERIFY(!out.contains("\"Bin\"=hex:"));
        QVERIFY(out.contains("\"_under\"=\"u\"\n\"ab9"));
        QVERIFY(out.contains("\"ab9\\x00e91\\xe9z\"=\"\\x00e9a \\x00e99 \\xe9z\"\n\"Brack[et]\""));
        deleteValue(out, key, QStringLiteral("Bin"), kTime, changed);
        QVERIFY(!changed);
        deleteValue(out, QStringLiteral("No\\Such"), QStringLiteral("Bin"), kTime, changed);
        QVERIFY(!changed);
    }

    void refusesFilesWithoutHeader() {
        bool changed = false;
        QVERIFY_THROWS_EXCEPTION(sw::RegistryError,
                                 setValue(QByteArray("WINE REGISTRY Version 1\n"), QStringLiteral("A"),
                                          QStringLiteral("x"), kRegSz, stringData(QStringLiteral("1")), kTime,
                                          changed));
        QVERIFY_THROWS_EXCEPTION(sw::RegistryError,
                                 createKey(QByteArray(), QStringLiteral("A"), kTime, changed));
        QVERIFY_THROWS_EXCEPTION(sw::RegistryError,
                                 deleteValue(QByteArray("WINE REGISTRY Version 2x\n"), QStringLiteral("A"),
                                             QStringLiteral("x"), kTime, changed));
        QVERIFY(hasValidHeader(QByteArray("WINE REGISTRY Version 2\r\n")));
    }

    void toleratesOddButValidLayout() {
        // CR LF lines, leading blanks, a value line before any key, a last line without newline,
        // duplicates differing in case, comments and unknown lines inside a key.
        const QByteArray file =
            "WINE REGISTRY Version 2\r\n\"Orphan\"=\"x\"\r\n\r\n  [K] 5\r\n#time=1\r\n; comment\r\n"
            "  \"A\"=\"1\"\r\nbogus line\r\n\"a\"=\"2\"\r\n\"B\"=hex:01,\\\r\n   02\r\n[L] 1\n\"z\"=\"last\"";
        const auto values = valuesOf(file, QStringLiteral("K"));
        QCOMPARE(values.size(), 3);
        QCOMPARE(valueText(values[2].type, values[2].data), QStringLiteral("0102"));
        QCOMPARE(textOf(file, QStringLiteral("L"), QStringLiteral("Z")), QStringLiteral("last"));
        bool changed = false;
        QByteArray out = setValue(file, QStringLiteral("L"), QStringLiteral("y"), kRegSz,
                                  stringData(QStringLiteral("n")), kTime, changed);
        QVERIFY(out.endsWith("[L] 1796516940\n#time=1dd8518c9b78b08\n\"y\"=\"n\"\n\"z\"=\"last\"\n"));
        out = setValue(file, QStringLiteral("K"), QStringLiteral("A"), kRegSz,
                       stringData(QStringLiteral("3")), kTime, changed);
        QCOMPARE(valuesOf(out, QStringLiteral("K")).size(), 2);
        QCOMPARE(textOf(out, QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("3"));
        QVERIFY(out.startsWith(
            "WINE REGISTRY Version 2\r\n\"Orphan\"=\"x\"\r\n\r\n  [K] 1796516940\n#time=1dd8518c9b78b08\n"
            "; comment\r\n\"A\"=\"3\"\nbogus line\r\n\"B\"=hex:01,\\\r\n   02\r\n[L] 1\n"));
    }

    // found by the fuzzer: an insertion where the replaced #time= line starts
    void valueBeforeTimeLine() {
        const QByteArray file = kHeader + "\n[K] 1\n\"b\"=\"1\"\n#time=1\n";
        bool changed = false;
        const QByteArray out = setValue(file, QStringLiteral("K"), QStringLiteral("c"), kRegSz,
                                        stringData(QStringLiteral("2")), kTime, changed);
        QCOMPARE(out, kHeader + "\n[K] 1796516940\n\"b\"=\"1\"\n\"c\"=\"2\"\n#time=1dd8518c9b78b08\n");
    }

    // Damaged lines are skipped one by one; the rest of the key still reads.
    void damagedLinesAreSkipped() {
        const QByteArray cont = kHeader + "\n[K] 1\n\"v\"=hex:01,\\";
        QCOMPARE(valuesOf(cont, QStringLiteral("K")).size(), 0);
        const QByteArray badHex =
            kHeader + "\n[K] 1\n\"v\"=hex:100,02\n\"w\"=hex(zz):01\n\"x\"=hex(1:01\n\"y\"=\"ok\"\n";
        QCOMPARE(valuesOf(badHex, QStringLiteral("K")).size(), 1);
        const QByteArray badKey = kHeader + "\n[K\n\"v\"=\"1\"\n[K] 1\n\"w\"=\"2\"\n";
        QCOMPARE(valuesOf(badKey, QStringLiteral("K")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(RegistryTextTest)
#include "registry_text_test.moc"
