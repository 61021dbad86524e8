#include "entries/autostart_entry.h"
#include "entries/places.h"
#include "platform/registry_store.h"

#include <QTest>
#include <stdexcept>

using namespace sw;

class PlacesTest : public QObject {
    Q_OBJECT
private slots:
    void tagsRoundTripBothRoots() {
        const QString runOnce = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        const QString tag = makeEntryTag(kHkeyLocalMachine, runOnce);
        QCOMPARE(tag, QStringLiteral("-2147483646;") + runOnce);
        QCOMPARE(GetTagRoot(tag), kHkeyLocalMachine);
        QCOMPARE(GetTagKey(tag), runOnce);
        QVERIFY(makeEntryTag(kHkeyCurrentUser, "x").startsWith("-2147483647;"));
        // Only the first ";" splits.
        QCOMPARE(GetTagKey("1;a;b"), QStringLiteral("a;b"));
    }

    void malformedTags() {
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

    void categoriesListTheirPlacesInOrder() {
        auto kinds = [](const QString& category) {
            QStringList out;
            for (const Place* place : placesOfCategory(category))
                out << place->backupKind;
            return out;
        };
        QCOMPARE(kinds("ALL"),
                 QStringList({"LURun", "LURunOnce", "AURun", "AURunOnce", "SMAllUsr", "SMLocalUsr"}));
        QCOMPARE(kinds("STARTMENU"), QStringList({"SMAllUsr", "SMLocalUsr"}));
        QCOMPARE(kinds("ALL USERS REG"), QStringList({"AURun", "AURunOnce"}));
        QVERIFY(kinds("SERVICES").isEmpty());
        QVERIFY(kinds("all").isEmpty()); // keys compare exactly
        // Every category but the groups names one place whose own key it is.
        for (const Place& place : allPlaces())
            QCOMPARE(kinds(place.categoryKey), QStringList{place.backupKind});
        QCOMPARE(categoryKeys().size(), 12);
    }

    void backupsAlwaysLiveUnderTheUsersKey() {
        for (const Place& place : allPlaces()) {
            if (place.kind == PlaceKind::RegistryKey)
                QVERIFY(place.backupLocation.startsWith(kBackupKey + "\\HKEY_"));
            else
                QVERIFY(place.backupLocation.startsWith("Backups/Startmenu/"));
        }
    }
};

QTEST_GUILESS_MAIN(PlacesTest)
#include "places_test.moc"
