#include "entries/autostart_entry.h"
#include "entries/places.h"
#include "platform/registry_store.h"

#include <QTest>
#include <stdexcept>

using namespace sw;

class PlacesTest : public QObject {
    Q_OBJECT
private slots:
    void tagsRoundTripAndMalformedOnesFail() {
        const QString runOnce = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        const QString tag = makeEntryTag(kHkeyLocalMachine, runOnce);
        QCOMPARE(tag, QStringLiteral("-2147483646;") + runOnce);
        QCOMPARE(GetTagRoot(tag), kHkeyLocalMachine);
        QCOMPARE(GetTagKey(tag), runOnce);
        QVERIFY(makeEntryTag(kHkeyCurrentUser, "x").startsWith("-2147483647;"));
        QCOMPARE(GetTagKey("1;a;b"), QStringLiteral("a;b")); // only the first ";" splits
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, GetTagRoot("no separator"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, GetTagRoot("abc;key"));
        QCOMPARE(GetTagKey("no separator"), QStringLiteral("no separator"));
    }

    void fileNames() {
        QCOMPARE(GetFileNameFromPath("C:\\Tools\\tool.exe"), QStringLiteral("tool.exe"));
        QCOMPARE(GetFileNameFromPath("C:\\Tools\\"), QString());
        QCOMPARE(GetFileNameFromPath("tool.exe"), QStringLiteral("tool.exe"));
        QCOMPARE(GetFileNameFromPath("/opt/StartWarden/Program/Check.dat"), QStringLiteral("Check.dat"));
    }
};

QTEST_GUILESS_MAIN(PlacesTest)
#include "places_test.moc"
