// Benchmark of the main window on a prefix: the time from creating the window to its first painted
// listing; then, while the icons of that listing come in and while a click on "ALL" lists everything
// again, the longest time the event loop was kept from input (measured by a 1 ms timer). Runs on the
// platform Qt picks (offscreen when there is no display).
//
// Usage: window_bench PROGRAM_FOLDER PREFIX
#include "gui/main_window.h"
#include "gui/unattended_startup.h"
#include "platform/wine/wine_gui_platform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Notes when the list's viewport is first painted.
class PaintWatch : public QObject {
public:
    qint64 paintedAt = -1;
    const QElapsedTimer* clock = nullptr;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedAt < 0)
            paintedAt = clock->elapsed();
        return QObject::eventFilter(object, event);
    }
};

// What the event loop went through while the window took in a listing.
struct Wait {
    qint64 longest = 0;   // the longest gap between two ticks of a 1 ms timer
    qint64 lastRowAt = 0; // when the row count last changed
    qint64 doneAt = 0;    // when the rows and icons were all in
    int rows = 0;
};

// The entry list, found as any tool finds it: by its object name.
QAbstractItemView* entryList(const sw::frmMain& window) {
    return window.findChild<QAbstractItemView*>(QStringLiteral("lvwEntries"));
}

// Runs `action` from the event loop, then keeps the loop running with a 1 ms timer until the window
// has taken in the whole listing and its icons. Times are from the action's start.
Wait waitThrough(const sw::frmMain& window, const std::function<void()>& action) {
    Wait wait;
    QElapsedTimer clock;
    QElapsedTimer gap;
    QEventLoop loop;
    bool acted = false;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        wait.longest = std::max(wait.longest, gap.restart());
        if (!acted)
            return;
        const int rows = entryList(window)->model()->rowCount();
        if (rows != wait.rows) {
            wait.rows = rows;
            wait.lastRowAt = clock.elapsed();
        }
        if (!window.isLoading()) {
            wait.doneAt = clock.elapsed();
            loop.quit();
        }
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        acted = true;
        action();
    });
    gap.start();
    tick.start();
    loop.exec();
    return wait;
}

qint64 median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Clicks a category a few times and prints the medians.
void reportClicks(sw::frmMain& window, const QString& category, const char* what) {
    constexpr int kClicks = 5;
    QList<qint64> longest;
    QList<qint64> lastRow;
    QList<qint64> done;
    int rows = 0;
    for (int i = 0; i < kClicks; ++i) {
        const Wait click = waitThrough(window, [&] { window.listCategory(category); });
        longest.append(click.longest);
        lastRow.append(click.lastRowAt);
        done.append(click.doneAt);
        rows = click.rows;
    }
    std::printf("%s, median of %d: %d rows in %lld ms, icons too in %lld ms; the event loop waited at "
                "most %lld ms (worst click %lld ms)\n",
                what, kClicks, rows, static_cast<long long>(median(lastRow)),
                static_cast<long long>(median(done)), static_cast<long long>(median(longest)),
                static_cast<long long>(*std::max_element(longest.cbegin(), longest.cend())));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: window_bench PROGRAM_FOLDER PREFIX\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    sw::UnattendedWindow run(arguments[1], arguments[2]);
    sw::frmMain& window = run.window;
    PaintWatch watch;
    watch.clock = &clock;
    entryList(window)->viewport()->installEventFilter(&watch);
    run.start(sw::makeWineGuiPlatform(arguments[2]));
    const qint64 filled = clock.elapsed();
    window.show();
    while (watch.paintedAt < 0 && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("%d rows: listed and shown in %lld ms, list first painted after %lld ms\n",
                entryList(window)->model()->rowCount(), static_cast<long long>(filled),
                static_cast<long long>(watch.paintedAt));

    // The icons of the first listing come in from the event loop.
    const Wait icons = waitThrough(window, [] {});
    std::printf("icons of the first listing in %lld ms; the event loop waited at most %lld ms meanwhile\n",
                static_cast<long long>(icons.doneAt), static_cast<long long>(icons.longest));

    // A click on "ALL" lists everything again, rows and icons; then the same with the list sorted.
    reportClicks(window, QStringLiteral("ALL"), "click on ALL");
    window.sortListBy(0);
    reportClicks(window, QStringLiteral("ALL"), "sorted by name");
    return 0;
}
