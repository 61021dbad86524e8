#include "controls/property_bag.h"
#include "controls/splitter_core.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

// Records the order in which names are written, stored or not.
class RecordingBag : public MemoryPropertyBag {
public:
    QStringList written;

protected:
    void store(const QString& name, const QVariant& value) override {
        written << name;
        MemoryPropertyBag::store(name, value);
    }
    void remove(const QString& name) override {
        written << name;
        MemoryPropertyBag::remove(name);
    }
};

SplitterCore load(const QVariantMap& values) {
    SplitterCore core;
    core.readProperties(MemoryPropertyBag(values), QSizeF(8000, 4000));
    return core;
}

} // namespace

class SplitterPersistenceTest : public QObject {
    Q_OBJECT

private slots:
    void readRules() {
        QCOMPARE(load({}).state().Position, 2000);
        const SplitterCore core = load({{"MinPanelSize", 2600}, {"SnapToEdge", true}});
        QCOMPARE(core.state().Position, 2600);
        QVERIFY(!core.changed());

        const SplitterCore stored = load({{"SnapToEdge", true}, {"Snapped", 2}, {"Position", 5000}});
        QCOMPARE(int{stored.state().Snapped}, 2);
        QCOMPARE(stored.state().Position, 5000); // the stored position wins over Snapped
        // Snapped is restored through its rule, which needs SnapToEdge.
        QCOMPARE(int{load({{"Snapped", 1}}).state().Snapped}, 0);

        const SplitterCore unreadable = load({{"MinPanelSize", "wide"}, {"BackColor", "-2147483633"}});
        QCOMPARE(unreadable.state().MinPanelSize, 2000);
        QCOMPARE(unreadable.state().BackColor, 0x8000000Fu);
    }

    void writesInOrderAndOmitsDefaults() {
        SplitterCore core;
        core.setMinPanelSize(2200);
        core.setHorizontal(true);
        core.setSnapToEdge(true);
        core.setBackColor(0x00FFFFFF);
        core.setPosition(2200);
        QVERIFY(core.changed());
        RecordingBag bag;
        core.writeProperties(bag);
        QCOMPARE(bag.written, QStringList({"MinPanelSize", "Horizontal", "SnapToEdge", "SplitterWidth",
                                           "DragColor", "BackColor", "Snapped", "Position"}));
        QCOMPARE(bag.values().keys(), QStringList({"BackColor", "Horizontal", "MinPanelSize", "SnapToEdge"}));
        QVERIFY(!core.changed());
    }

    void settingsRoundTrip() {
        QTemporaryDir dir;
        const QString file = dir.filePath("frmMain.ini");
        {
            SplitterCore core;
            core.setSnapToEdge(true);
            core.setDragColor(0x80000001);
            core.setPosition(6000);
            core.setSnapped(2, 8000);
            QSettings settings(file, QSettings::IniFormat);
            SettingsPropertyBag bag(settings, "SplitterPanel1");
            core.writeProperties(bag);
        }
        QSettings settings(file, QSettings::IniFormat);
        SplitterCore core;
        core.readProperties(SettingsPropertyBag(settings, "SplitterPanel1"), QSizeF(8000, 4000));
        QVERIFY(core.state().SnapToEdge);
        QCOMPARE(int{core.state().Snapped}, 2);
        QCOMPARE(core.state().DragColor, 0x80000001u);
        QCOMPARE(core.state().Position, 8000);
    }
};

QTEST_GUILESS_MAIN(SplitterPersistenceTest)
#include "splitter_persistence_test.moc"
