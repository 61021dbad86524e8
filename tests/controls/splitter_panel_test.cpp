#include "controls/ole_color.h"
#include "controls/property_bag.h"
#include "controls/splitter_panel.h"
#include "controls/twips.h"

#include <QGuiApplication>
#include <QTest>

using namespace sw;

namespace {

// A shown splitter 8000 x 4000 twips with two plain panels.
struct Fixture {
    SplitterPanel panel;
    QWidget* first = new QWidget;
    QWidget* second = new QWidget;
    QWidget* bar = nullptr;

    explicit Fixture(bool snapToEdge = true) {
        panel.setObjectName("SplitterPanel1");
        const TwipScale twips = scale();
        panel.resize(twips.toPixelsX(8000), twips.toPixelsY(4000));
        panel.setSnapToEdge(snapToEdge);
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

class SplitterPanelTest : public QObject {
    Q_OBJECT

private slots:
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
        QTest::newRow("horizontal, near edge") << 300 << 1 << true;
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
        f.panel.ReadProperties(MemoryPropertyBag(stored));
        QCOMPARE(f.bar->cursor().shape(), Qt::SizeVerCursor);
        QVERIFY(!f.second->isVisible());
        QCOMPARE(f.bar->geometry().bottom() + 1, f.panel.height());
        MemoryPropertyBag saved;
        f.panel.WriteProperties(saved);
        QCOMPARE(saved.values().value("Position").toInt(), f.length() - 37);
    }

    void systemColoursFollowThePalette() {
        const QPalette palette = QGuiApplication::palette();
        QCOMPARE(resolveOleColor(0x8000000F, palette), palette.color(QPalette::Button));
        QCOMPARE(resolveOleColor(0x80000012, palette), palette.color(QPalette::ButtonText));
        QCOMPARE(resolveOleColor(0x00FF8040, palette), QColor(0x40, 0x80, 0xFF));
    }
};

QTEST_MAIN(SplitterPanelTest)
#include "splitter_panel_test.moc"
