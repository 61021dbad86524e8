// Benchmark of the main window on a prefix: the time from creating the window to its first painted
// listing, and, while the icons of that listing come in, the longest time the event loop was kept
// from input (measured by a 1 ms timer). Runs on the platform Qt picks (offscreen when there is no
// display).
//
// Usage: window_bench PROGRAM_FOLDER PREFIX
#include "app/main_services.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/single_instance.h"
#include "platform/wine/wine_gui_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

namespace {

class NoInstance : public sw::SingleInstance {
public:
    bool anotherInstanceRunning() override { return false; }
    void createMarker(const QString&) override {}
};

class SilentMessages : public sw::MessageBoxes {
public:
    sw::MessageAnswer show(const QString&, const QString&, sw::MessageIcon, sw::MessageButtons) override {
        return sw::MessageAnswer::Ok;
    }
};

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

// Icons still missing on valid rows of the list: rows still showing the picture they were listed
// with (placeholders holds the cache keys of those pictures).
int rowsWaitingForIcons(const sw::frmMain& window, const QSet<qint64>& placeholders) {
    int waiting = 0;
    for (int i = 0; i < window.lvwEntries->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = window.lvwEntries->topLevelItem(i);
        const sw::AutostartEntry* row = window.rowOf(item);
        waiting += row && row->valid && placeholders.contains(item->icon(0).cacheKey());
    }
    return waiting;
}

QSet<qint64> listedPictures(const sw::frmMain& window) {
    QSet<qint64> keys;
    for (int i = 0; i < window.lvwEntries->topLevelItemCount(); ++i)
        keys.insert(window.lvwEntries->topLevelItem(i)->icon(0).cacheKey());
    return keys;
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
    sw::LanguageTexts texts;
    SilentMessages boxes;
    NoInstance instance;
    sw::StartupServices startup{texts, boxes, instance, sw::ProgramFiles{arguments[1]}};
    sw::startLanguageAndInstance(startup);
    sw::MainServices services{sw::makeWineGuiPlatform(arguments[2]), texts, boxes, startup.files, {}};
    sw::frmMain window;
    PaintWatch watch;
    watch.clock = &clock;
    window.lvwEntries->viewport()->installEventFilter(&watch);
    window.setServices(&services);
    sw::prepareMainWindow(window, startup);
    window.resizeToOpeningSize();
    sw::fillMainWindow(window, services);
    const qint64 filled = clock.elapsed();
    const QSet<qint64> placeholders = listedPictures(window);
    window.show();
    while (watch.paintedAt < 0 && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("%d rows: listed and shown in %lld ms, list first painted after %lld ms\n",
                window.lvwEntries->topLevelItemCount(), static_cast<long long>(filled),
                static_cast<long long>(watch.paintedAt));

    // The longest gap between two ticks of a 1 ms timer while the icons come in; they are all in
    // when no row has got one for half a second (a program without an icon keeps none).
    QElapsedTimer gap;
    gap.start();
    qint64 longest = 0;
    int waiting = rowsWaitingForIcons(window, placeholders);
    qint64 lastIconAt = clock.elapsed();
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.restart());
        const int now = rowsWaitingForIcons(window, placeholders);
        if (now != waiting) {
            waiting = now;
            lastIconAt = clock.elapsed();
        }
        if (waiting == 0 || clock.elapsed() - lastIconAt > 500)
            QApplication::quit();
        gap.restart();
    });
    const qint64 iconsFrom = clock.elapsed();
    tick.start();
    QApplication::exec();
    std::printf("icons of the listing in %lld ms; the event loop waited at most %lld ms meanwhile\n",
                static_cast<long long>(lastIconAt - iconsFrom), static_cast<long long>(longest));
    return 0;
}
