// What Wine itself starts from each place, against what the table of places says: a prefix wineboot
// made gets an active and a deactivated entry in every place, each leaving a marker file when it runs;
// then a plain start of a program on the stopped prefix and a plain wineboot show which ran and which
// RunOnce values Wine removed. A Wine that behaves otherwise fails here before it misleads a user.
#include "entries/entry_actions.h"
#include "entries/entry_writer.h"
#include "entries/listing.h"
#include "entries/wine_starts.h"
#include "platform/language_texts.h"
#include "platform/wine/wine_platform.h"
#include "wine_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

// The table's columns of what a run showed or the table of places says: ran on the start, removed by
// it, ran on wineboot.
QString outcome(bool ranOnStart, bool removedOnStart, bool ranOnBoot) {
    const auto yes = [](bool value) { return value ? QStringLiteral("yes") : QStringLiteral("-"); };
    return QStringLiteral("%1 | %2 | %3")
        .arg(yes(ranOnStart), -12)
        .arg(yes(removedOnStart), -7)
        .arg(yes(ranOnBoot), -15);
}

} // namespace

class WineStartsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath("prefix");
    const QString m_markers = m_dir.filePath("markers");
    sw::test::WineSession m_session{m_prefix};
    LanguageTexts m_texts;

    QStringList m_keys; // place "-" entry name, in the order of the table
    QHash<QString, WineStart> m_expected;

    // What the row's marker is called: its place and its name without an extension.
    static QString marker(const Place& place, const QString& name) {
        return place.backupKind + '-' + name.section('.', 0, 0);
    }

    // An active and a deactivated entry in the place, written and deactivated as the program does it,
    // and in a registry key an expandable one; a Startup folder gets batch files, whose command line a
    // shortcut of the program would not keep. Each leaves its marker file when it runs.
    void writeEntries(const Platform& platform, const Place& place) {
        const auto command = [&](const char* name) {
            return QStringLiteral("echo ran> Z:") +
                   QString(m_markers + '/' + marker(place, name)).replace('/', '\\');
        };
        for (const char* name : {"On", "Off"}) {
            if (place.isRegistryKey()) {
                writeEntry(platform, name, "C:\\windows\\system32\\cmd.exe /c " + command(name),
                           {place.root, place.keyPath});
            } else {
                const QString folder =
                    platform.fileSystem->hostPath(startupFolderPath(*platform.system, place));
                QFile batch(folder + '/' + name + ".bat");
                QVERIFY(QDir().mkpath(folder) && batch.open(QIODevice::WriteOnly));
                batch.write((command(name) + "\r\n").toLocal8Bit());
            }
        }
        if (place.isRegistryKey())
            platform.newRegistryStore()->writeTypedStringValue(
                place.root, place.keyPath, "Expanded",
                "%SystemRoot%\\system32\\cmd.exe /c " + command("Expanded"), kRegistryExpandString);
        for (const AutostartEntry& row : listPlace({platform, m_texts}, place))
            if (row.name.startsWith("Off"))
                QVERIFY(setActivation(platform, row, false));
        // What the program says of each entry as it lists it now (Wine's own ones leave no marker).
        for (const AutostartEntry& row : listPlace({platform, m_texts}, place)) {
            if (!QStringList{"On", "Off", "Expanded"}.contains(row.name.section('.', 0, 0)))
                continue;
            m_keys << marker(place, row.name);
            m_expected[marker(place, row.name)] = wineStartOfRow(row);
        }
    }

    // Whether each marker is there; they are removed for the next phase.
    QHash<QString, bool> takeMarkers() {
        QHash<QString, bool> found;
        for (const QString& key : m_keys) {
            found[key] = QFile::exists(m_markers + '/' + key);
            QFile::remove(m_markers + '/' + key);
        }
        return found;
    }

private slots:
    void initTestCase() {
        if (!sw::test::WineSession::available())
            QSKIP("Wine is not installed (no wine or wineserver on PATH): what Wine starts is not checked");
        QVERIFY(m_dir.isValid() && QDir().mkpath(m_markers));
        m_session.setVariable("HOME", m_dir.filePath("home"));
    }

    void wineStartsWhatTheTableSays() {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(m_session.boot(), 0);
        QCOMPARE(m_session.waitForServer(), 0);
        {
            const Platform platform = makeWinePlatform(m_prefix);
            for (const Place& place : allPlaces())
                writeEntries(platform, place);
        }

        QCOMPARE(m_session.run("wine", {"cmd", "/c", "exit"}), 0);
        QCOMPARE(m_session.waitForServer(), 0);
        const QHash<QString, bool> onStart = takeMarkers();
        QHash<QString, bool> kept;
        {
            const Platform platform = makeWinePlatform(m_prefix);
            for (const Place& place : allPlaces())
                for (const AutostartEntry& row : listPlace({platform, m_texts}, place))
                    kept[marker(place, row.name)] = true;
        }
        QCOMPARE(m_session.run("wine", {"wineboot"}), 0);
        QCOMPARE(m_session.waitForServer(), 0);
        const QHash<QString, bool> onBoot = takeMarkers();

        // A wineboot on a stopped prefix starts a session first: what every start runs runs then too.
        QStringList table{QStringLiteral("%1 | %2 | %3 | %4 | %5")
                              .arg("place-entry", -30)
                              .arg("table", -13)
                              .arg("ran on start", -12)
                              .arg("removed", -7)
                              .arg("ran on wineboot")};
        QStringList wrong;
        for (const QString& key : m_keys) {
            const WineStart starts = m_expected.value(key);
            const QString seen = outcome(onStart.value(key), !kept.value(key), onBoot.value(key));
            const bool same =
                seen == outcome(starts == WineStart::EveryStart || starts == WineStart::NextStart,
                                removedAtNextStart(starts),
                                starts == WineStart::EveryStart || starts == WineStart::Boot);
            table << QStringLiteral("%1 | %2 | %3%4")
                         .arg(key, -30)
                         .arg(wineStartName(starts), -13)
                         .arg(seen, same ? QString() : QStringLiteral("  <- not as the table says"));
            if (!same)
                wrong << key;
        }
        qInfo().noquote() << "What Wine started (" << clock.elapsed() << "ms):\n" + table.join('\n');
        QVERIFY2(wrong.isEmpty(), qPrintable("Wine differs from the table of places: " + wrong.join(", ")));
    }
};

QTEST_GUILESS_MAIN(WineStartsTest)
#include "wine_starts_test.moc"
