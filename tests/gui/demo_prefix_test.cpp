#include "demo_prefix.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "entries/wine_starts.h"
#include "fixture_bytes.h"
#include "info/description_database.h"
#include "info/entry_information.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "platform/wine/wine_prefix.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

const QString kSources = QStringLiteral(SW_SOURCE_DIR "/data/demo");

QList<AutostartEntry> listAll(const QString& prefix) {
    const Platform platform = makeWinePlatform(prefix);
    const LanguageTexts texts;
    return listAllPlaces(platform, texts);
}

int entryLines() {
    int count = 0;
    for (const QByteArray& line : test::fileBytes(kSources + QStringLiteral("/entries.txt")).split('\n'))
        count += !line.trimmed().isEmpty() && !line.trimmed().startsWith('#');
    return count;
}

} // namespace

class DemoPrefixTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_prefix = m_dir.filePath(QStringLiteral("prefix"));
        demo::makeDemoPrefix(kSources, m_prefix);
    }

    void makesAValidPrefixWithRowsOfBothKindsEverywhere() {
        QVERIFY2(WinePrefix(m_prefix).isValid(), qPrintable(WinePrefix(m_prefix).problem()));
        const QList<AutostartEntry> rows = listAll(m_prefix);
        QCOMPARE(rows.size(), entryLines());
        for (const Place& place : allPlaces()) {
            int active = 0, inactive = 0;
            for (const AutostartEntry& row : rows)
                if (row.backupKind == place.backupKind)
                    ++(row.active ? active : inactive);
            QVERIFY2(active > 0, qPrintable(place.backupKind));
            QVERIFY2(inactive > 0, qPrintable(place.backupKind));
        }
    }

    void listAndPanelAgreeAboutThePrograms() {
        // The half installed program is a file of 0 bytes, named by an unquoted path with blanks.
        const Platform platform = makeWinePlatform(m_prefix);
        const DescriptionDatabase database;
        for (const AutostartEntry& row : listAll(m_prefix)) {
            const EntryInformation info = describeEntry(platform, database, row);
            QVERIFY2((info.rating == EntryRating::ProgramMissing) == !row.valid, qPrintable(row.name));
            if (row.name == QLatin1String("Half Installed"))
                QVERIFY(row.valid && info.fileName == QLatin1String("halfinst.exe"));
            if (row.name == QLatin1String("Half Installed.lnk"))
                QVERIFY(!row.valid);
        }
    }

    // A second run starts from scratch; a folder that is no prefix is never replaced.
    void rerunStartsFromScratchAndOtherFoldersAreKept() {
        QTemporaryDir dir;
        const QString prefix = dir.filePath(QStringLiteral("p"));
        demo::makeDemoPrefix(kSources, prefix);
        test::writeBytes(prefix + QStringLiteral("/drive_c/stray.txt"), {});
        demo::makeDemoPrefix(kSources, prefix);
        QVERIFY(!QFile::exists(prefix + QStringLiteral("/drive_c/stray.txt")));
        QCOMPARE(listAll(prefix).size(), entryLines()); // no value written twice
        test::writeBytes(dir.filePath(QStringLiteral("keep.txt")), {});
        QVERIFY_THROWS_EXCEPTION(demo::DemoError, demo::makeDemoPrefix(kSources, dir.path()));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("keep.txt"))));
    }

private:
    QTemporaryDir m_dir;
    QString m_prefix;
};

QTEST_MAIN(DemoPrefixTest)
#include "demo_prefix_test.moc"
