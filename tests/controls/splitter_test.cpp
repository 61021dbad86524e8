// The splitter: where the bar and the panels go and what it stores, without a window, and the
// panel widget dragged with the mouse.
#include "controls/property_bag.h"
#include "controls/splitter_core.h"
#include "controls/twips.h"
#include "gui/ole_color.h"
#include "gui/splitter_panel.h"

#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;

namespace {

// A vertical splitter with both panels, 8000 twips long and 4000 across unless told otherwise.
SplitterCore makeSplitter(bool snapToEdge = true, int minPanelSize = 2000) {
    SplitterCore core;
    core.setControlsPresent(true, true);
    core.setSnapToEdge(snapToEdge);
    core.setMinPanelSize(minPanelSize);
    return core;
}

const QSizeF kInner(8000, 4000);

SplitterCore load(const QVariantMap& values) {
    SplitterCore core;
    core.readProperties(MemoryPropertyBag(values), kInner);
    return core;
}

// A shown splitter 8000 x 4000 twips with two plain panels.
struct Fixture {
    SplitterPanel panel;
    QWidget* first = new QWidget;
    QWidget* second = new QWidget;
    QWidget* bar = nullptr;

    Fixture() {
        panel.setObjectName("SplitterPanel1");
        const TwipScale twips = scale();
        panel.resize(twips.toPixelsX(8000), twips.toPixelsY(4000));
        panel.setSnapToEdge(true);
        panel.setControl1(first);
        panel.setControl2(second);
        panel.show();
        bar = panel.findChild<QWidget*>("pbSplit");
    }
    TwipScale scale() const { return TwipScale(panel.logicalDpiX(), panel.logicalDpiY()); }
    // Whole pixels rarely make whole thousands of twips; expectations use the real length.
    int length() const {
        return roundHalfEven(panel.Horizontal() ? scale().toTwipsY(panel.height())
                                                : scale().toTwipsX(panel.width()));
    }
    double barStart(QRect rect) const {
        return panel.Horizontal() ? scale().toTwipsY(rect.y()) : scale().toTwipsX(rect.x());
    }

    // Presses on the bar, moves its centre to `centre` twips from the near edge and releases.
    void dragTo(int centre, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint grip = bar->rect().center();
        QTest::mousePress(bar, button, {}, grip);
        const double offset = centre - barStart(bar->geometry());
        const QPoint pointer = panel.Horizontal() ? QPoint(grip.x(), scale().toPixelsY(offset))
                                                  : QPoint(scale().toPixelsX(offset), grip.y());
        QTest::mouseMove(bar, pointer);
        moved = bar->geometry();
        firstWhileDragging = panel.Control1()->geometry();
        QTest::mouseRelease(bar, button, {}, pointer);
    }
    QRect moved;
    QRect firstWhileDragging;
};

} // namespace

class SplitterTest : public QObject {
    Q_OBJECT

private slots:
    void dropSnapsAndCorrects_data() {
        QTest::addColumn<int>("centre");
        QTest::addColumn<int>("snapped");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("firstVisible");
        QTest::addColumn<bool>("secondVisible");
        QTest::newRow("near edge collapses first") << 400 << 1 << 0 << false << true;
        QTest::newRow("snap zone ends at a quarter") << 500 << 0 << 2000 << true << true;
        QTest::newRow("outside the zone goes to the minimum") << 600 << 0 << 2000 << true << true;
        QTest::newRow("inside the range stays") << 4000 << 0 << 4000 << true << true;
        QTest::newRow("beyond the far limit") << 7500 << 0 << 6000 << true << true;
        QTest::newRow("far edge collapses second") << 7700 << 2 << 7963 << true << false;
        QTest::newRow("dragged out of the control") << -900 << 1 << 0 << false << true;
    }
    void dropSnapsAndCorrects() {
        QFETCH(int, centre);
        SplitterCore core = makeSplitter();
        core.drop(centre - 37, kInner.width());
        const SplitterLayout out = core.layout(kInner);
        QTEST(int{core.state().Snapped}, "snapped");
        QTEST(out.Position, "position");
        QTEST(*out.control1Visible, "firstVisible");
        QTEST(*out.control2Visible, "secondVisible");
        QCOMPARE(out.bar.x(), out.Position - 37);
        QCOMPARE(out.control2->x(), out.Position + 38);
    }

    void tooShortForTwoPanels_data() {
        QTest::addColumn<double>("length");
        QTest::addColumn<int>("snapped");
        QTest::addColumn<int>("position");
        QTest::newRow("middle") << 3000.0 << 0 << 1500;
        QTest::newRow("half rounds to even, down") << 3000.5 << 0 << 1500;
        QTest::newRow("half rounds to even, up") << 3001.5 << 0 << 1501;
        QTest::newRow("odd length drops the remainder") << 3001.0 << 0 << 1500;
        QTest::newRow("near edge") << 3000.0 << 1 << 0;
        QTest::newRow("far edge") << 3000.0 << 2 << 2963;
    }
    void tooShortForTwoPanels() {
        QFETCH(double, length);
        QFETCH(int, snapped);
        SplitterCore core = makeSplitter();
        core.setSnapped(snapped, length);
        QTEST(core.layout(QSizeF(length, 500)).Position, "position");
    }

    void positionWriteEndsCollapse() {
        SplitterCore core = makeSplitter();
        core.setSnapped(1, kInner.width());
        QCOMPARE(*core.layout(kInner).control1Visible, false);
        core.setPosition(4000);
        QCOMPARE(int{core.state().Snapped}, 0);
        const SplitterLayout out = core.layout(kInner);
        QCOMPARE(*out.control1Visible, true);
        QCOMPARE(out.Position, 4000);
    }

    void snappedNeedsSnapToEdge() {
        SplitterCore keep = makeSplitter(); // a drop without snapping keeps Snapped
        keep.setSnapped(2, kInner.width());
        keep.setSnapToEdge(false);
        keep.drop(200, kInner.width());
        QCOMPARE(int{keep.state().Snapped}, 2);
        QCOMPARE(keep.layout(kInner).Position, 7963);

        SplitterCore off = makeSplitter(false);
        off.setSnapped(1, kInner.width());
        QCOMPARE(int{off.state().Snapped}, 0);
        QCOMPARE(off.layout(kInner).Position, 3000);

        SplitterCore on = makeSplitter();
        on.setSnapped(7, kInner.width()); // unknown states read as both panels shown
        QCOMPARE(int{on.state().Snapped}, 0);
        QCOMPARE(on.state().Position, 3000);
    }

    void degenerateSizesClampToOne() {
        SplitterCore core = makeSplitter();
        core.setSplitterWidth(0);
        const SplitterLayout out = core.layout(QSizeF(10, 0));
        QCOMPARE(out.Position, 5);
        QCOMPARE(out.bar, QRect(5, 0, 1, 1));
        QCOMPARE(*out.control2, QRect(5, 0, 5, 1));
    }

    void visibilityNeedsBothPanels() {
        SplitterCore core = makeSplitter();
        core.setControlsPresent(true, false);
        core.setSnapped(1, kInner.width());
        const SplitterLayout out = core.layout(kInner);
        QVERIFY(!out.control1Visible && !out.control2Visible);
        QVERIFY(out.control1 && !out.control2);
    }

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

    // Defaults are not stored, and a default written over a stored value removes it.
    void writesOnlyWhatDiffersFromTheDefaults() {
        SplitterCore core;
        core.setMinPanelSize(2200);
        core.setHorizontal(true);
        core.setSnapToEdge(true);
        core.setBackColor(0x00FFFFFF);
        core.setPosition(2200);
        QVERIFY(core.changed());
        MemoryPropertyBag bag({{"SplitterWidth", 100}, {"Position", 4000}});
        core.writeProperties(bag);
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
        core.readProperties(SettingsPropertyBag(settings, "SplitterPanel1"), kInner);
        QVERIFY(core.state().SnapToEdge);
        QCOMPARE(int{core.state().Snapped}, 2);
        QCOMPARE(core.state().DragColor, 0x80000001u);
        QCOMPARE(core.state().Position, 8000);
    }

    void panelsMeetTheBar() {
        Fixture f;
        QVERIFY(f.bar);
        QCOMPARE(f.bar->cursor().shape(), Qt::SizeHorCursor);
        QCOMPARE(f.first->parentWidget(), &f.panel);
        QCOMPARE(f.first->geometry().right() + 1, f.bar->x());
        QCOMPARE(f.bar->geometry().right() + 1, f.second->x());
        QCOMPARE(f.second->geometry().right() + 1, f.panel.width());
        QCOMPARE(f.bar->width(), f.scale().toPixelsX(3038) - f.scale().toPixelsX(2963));

        f.panel.setHorizontal(true);
        QCOMPARE(f.bar->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(f.first->width(), f.panel.width());
        QCOMPARE(f.first->geometry().bottom() + 1, f.bar->y());
    }

    void dragFollowsPointerThenDrops_data() {
        QTest::addColumn<int>("centre");
        QTest::addColumn<int>("snapped");
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("near edge") << 300 << 1 << false;
        QTest::newRow("outside the snap zone") << 900 << 0 << false;
        QTest::newRow("far edge") << 7800 << 2 << false;
        QTest::newRow("horizontal, far edge") << 3800 << 2 << true;
    }
    void dragFollowsPointerThenDrops() {
        QFETCH(int, centre);
        QFETCH(int, snapped);
        QFETCH(bool, horizontal);
        Fixture f;
        f.panel.setHorizontal(horizontal);
        const QRect firstBefore = f.first->geometry();
        QList<int> reported;
        connect(&f.panel, &SplitterPanel::LayoutChanged, this, [&](int& position) { reported << position; });
        f.dragTo(centre);
        // While dragging only the bar moved.
        QVERIFY(qAbs(f.barStart(f.moved) + 37 - centre) < f.scale().toTwipsX(1));
        QCOMPARE(f.firstWhileDragging, firstBefore);
        const int position = snapped == 2 ? f.length() - 37 : snapped == 1 ? 0 : 2000;
        QCOMPARE(reported, QList<int>{position});
        QCOMPARE(f.panel.Snapped(), snapped);
        QCOMPARE(f.panel.Position(), position);
        QCOMPARE(f.first->isVisible(), snapped != 1);
        QCOMPARE(f.second->isVisible(), snapped != 2);
        if (snapped == 2) // flush with the far edge
            QCOMPARE(horizontal ? f.bar->geometry().bottom() + 1 : f.bar->geometry().right() + 1,
                     horizontal ? f.panel.height() : f.panel.width());
    }

    // Only the left button drags; the bar shows the drag colour only while it is dragged.
    void leftButtonDragsInTheDragColour() {
        Fixture f;
        const QRect before = f.bar->geometry();
        f.dragTo(300, Qt::RightButton);
        QCOMPARE(f.bar->geometry(), before);
        QCOMPARE(f.panel.Snapped(), 0);

        f.panel.setBackColor(0x000000FF);
        f.panel.setDragColor(0x00FF0000);
        QCOMPARE(f.panel.palette().color(QPalette::Window), QColor(Qt::red));
        QTest::mousePress(f.bar, Qt::LeftButton, {}, f.bar->rect().center());
        QVERIFY(f.panel.isDragging());
        QCOMPARE(f.bar->palette().color(QPalette::Window), QColor(Qt::blue));
        QTest::mouseRelease(f.bar, Qt::LeftButton, {}, f.bar->rect().center());
        QCOMPARE(f.bar->palette().color(QPalette::Window), QColor(Qt::red));
    }

    void handlerChangesTheControlsPosition() {
        Fixture f;
        connect(&f.panel, &SplitterPanel::LayoutChanged, this, [&f](int& position) {
            QCOMPARE(position, f.panel.Position());
            position = 4321;
        });
        f.panel.setPosition(5000);
        QCOMPARE(f.panel.Position(), 4321);
    }

    void deletedPanelCountsAsUnset() {
        Fixture f;
        f.panel.setSnapped(1);
        delete f.second;
        f.panel.setSnapped(0);
        QVERIFY(!f.first->isVisible());
        QCOMPARE(f.panel.Control2(), nullptr);
    }

    void restoresFromPropertyBag() {
        Fixture f;
        const QVariantMap stored{
            {"Horizontal", true}, {"SnapToEdge", true}, {"Snapped", 2}, {"Position", 3000}};
        f.panel.readProperties(MemoryPropertyBag(stored));
        QCOMPARE(f.bar->cursor().shape(), Qt::SizeVerCursor);
        QVERIFY(!f.second->isVisible());
        QCOMPARE(f.bar->geometry().bottom() + 1, f.panel.height());
        MemoryPropertyBag saved;
        f.panel.writeProperties(saved);
        QCOMPARE(saved.values().value("Position").toInt(), f.length() - 37);
    }

    void systemColoursFollowThePalette() {
        const QPalette palette = QGuiApplication::palette();
        QCOMPARE(resolveOleColor(0x8000000F, palette), palette.color(QPalette::Button));
        QCOMPARE(resolveOleColor(0x80000012, palette), palette.color(QPalette::ButtonText));
        QCOMPARE(resolveOleColor(0x00FF8040, palette), QColor(0x40, 0x80, 0xFF));
    }
};

QTEST_MAIN(SplitterTest)
#include "splitter_test.moc"
