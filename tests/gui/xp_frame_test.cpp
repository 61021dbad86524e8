// The framed panel, judged by the pixels it paints.
#include "controls/property_bag.h"
#include "gui/xp_frame.h"

#include <QImage>
#include <QTest>

using namespace sw;

namespace {

const QRgb kBar = qRgb(249, 248, 243);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBorder = qRgb(172, 168, 153);

QImage paintedAt(ctlXPFrame& frame, QSize size) {
    frame.resize(size);
    return frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour of each column of a row, run-length coded: (first column, colour) pairs.
QList<std::pair<int, QRgb>> runsOfRow(const QImage& image, int y) {
    QList<std::pair<int, QRgb>> runs;
    for (int x = 0; x < image.width(); ++x)
        if (runs.isEmpty() || runs.last().second != image.pixel(x, y))
            runs.append({x, image.pixel(x, y)});
    return runs;
}

} // namespace

using Runs = QList<std::pair<int, QRgb>>;

class XpFrameTest : public QObject {
    Q_OBJECT
private slots:
    // With the border the bar is one pixel wider and keeps its width on resize; without it the bar
    // has its own width, and a bar wider than the frame covers all of it.
    void paintsTheBarTheBodyAndTheBorder() {
        ctlXPFrame frame;
        QImage image = paintedAt(frame, {200, 100});
        // Left border column, the shade up to 61, white to the right edge; no right or bottom line.
        QCOMPARE(runsOfRow(image, 50), (Runs{{0, kBorder}, {1, kBar}, {61, kWhite}}));
        QCOMPARE(runsOfRow(image, 99), (Runs{{0, kBorder}, {1, kBar}, {61, kWhite}}));
        QCOMPARE(runsOfRow(image, 0), (Runs{{0, kBorder}}));
        QCOMPARE(runsOfRow(paintedAt(frame, {320, 140}), 139), (Runs{{0, kBorder}, {1, kBar}, {61, kWhite}}));

        frame.setpShowBorder(false);
        frame.setpBarWidth(100);
        image = paintedAt(frame, {200, 100});
        QCOMPARE(runsOfRow(image, 0), (Runs{{0, kBar}, {100, kWhite}}));
        QCOMPARE(runsOfRow(image, 99), (Runs{{0, kBar}, {100, kWhite}}));
        frame.setpBarWidth(250);
        QCOMPARE(runsOfRow(paintedAt(frame, {200, 100}), 50), (Runs{{0, kBar}}));
    }

    void persistsBarWidthAndBorderWithTheirDefaults() {
        ctlXPFrame frame;
        MemoryPropertyBag bag;
        frame.writeProperties(bag);
        QVERIFY(bag.values().isEmpty()); // defaults are not stored
        frame.setpBarWidth(100);
        QVERIFY(frame.propertiesChanged());
        frame.setpShowBorder(false);
        frame.writeProperties(bag);

        ctlXPFrame loaded;
        loaded.readProperties(bag);
        QCOMPARE(runsOfRow(paintedAt(loaded, {150, 20}), 0), (Runs{{0, kBar}, {100, kWhite}}));
        // A settings file gives the values back as text; what does not convert is the default.
        loaded.readProperties(MemoryPropertyBag({{"BarWidth", "wide"}, {"ShowBorder", "false"}}));
        QCOMPARE(loaded.pBarWidth(), 60);
        QCOMPARE(loaded.pShowBorder(), false);
    }
};

QTEST_MAIN(XpFrameTest)
#include "xp_frame_test.moc"
