// A listing too long to show at once comes in from the event loop: the window answers meanwhile,
// and what ends up in the list is the last clicked category's rows, each once.
#include "main_window_fixture.h"

#include <QAction>
#include <QFile>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace sw;

namespace {

constexpr int kUserRows = 600;

QByteArray manyUserRows() {
    QByteArray body = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                      "#time=1d9f0e0c0a0b0c0\n";
    for (int i = 0; i < kUserRows; ++i)
        body +=
            QStringLiteral("\"Run%1\"=\"C:\\\\Tools\\\\t%1.exe\"\n").arg(i, 3, 10, QLatin1Char('0')).toUtf8();
    return body;
}

const QByteArray kMachineRun = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                               "#time=1d9f0e0c0a0b0c0\n"
                               "\"Known\"=\"C:\\\\Tools\\\\known.exe\"\n"
                               "\"Unknown\"=\"C:\\\\Tools\\\\other.exe\"\n"
                               "\"Gone\"=\"C:\\\\Tools\\\\missing.exe\"\n";
constexpr int kAllRows = kUserRows + 3;

struct Fixture : test::MainWindowFixture {
    Fixture() : MainWindowFixture(kMachineRun, manyUserRows()) {}

    void waitForListing() { QTRY_VERIFY_WITH_TIMEOUT(!window.isLoading(), 60000); }

    // Every listed row once, by place and name.
    int distinctRows() const {
        QSet<QString> seen;
        for (int i = 0; i < window.lvwEntries->topLevelItemCount(); ++i) {
            const AutostartEntry* row = window.rowOf(window.lvwEntries->topLevelItem(i));
            seen.insert(row->tag + QLatin1Char('|') + row->name);
        }
        return int(seen.size());
    }
};

} // namespace

class MainWindowListingTest : public QObject {
    Q_OBJECT
private slots:
    void longListingLetsTheEventLoopRunAndEndsSortedWithEachRowOnce() {
        Fixture f;
        f.startWindow();
        f.waitForListing();
        QTreeWidgetItem* all = f.window.categoryNode("ALL");
        QCOMPARE(all->text(0), f.texts.GetText("All") + QStringLiteral(" (%1)").arg(kAllRows));

        f.window.lvwEntries_ColumnClick(0);
        f.window.tvwCategories_NodeClick(all);
        const int shownAtOnce = f.window.lvwEntries->topLevelItemCount();
        QVERIFY(shownAtOnce > 0 && shownAtOnce < kAllRows);
        int rowsWhenTimerRan = -1;
        QTimer::singleShot(0, [&] { rowsWhenTimerRan = f.window.lvwEntries->topLevelItemCount(); });
        f.waitForListing();
        QVERIFY(rowsWhenTimerRan >= 0 && rowsWhenTimerRan < kAllRows);
        QCOMPARE(f.window.lvwEntries->topLevelItemCount(), kAllRows);
        QCOMPARE(f.distinctRows(), kAllRows);
        // The machine's rows came later and still take their sorted places.
        QCOMPARE(f.window.lvwEntries->topLevelItem(0)->text(0), QStringLiteral("Gone"));
        QCOMPARE(f.window.lvwEntries->topLevelItem(kAllRows - 1)->text(0), QStringLiteral("Unknown"));

        // A refresh keeps a row that is listed only after the first rows are shown.
        f.window.lvwEntries->setCurrentItem(f.window.lvwEntries->topLevelItem(0));
        f.window.toolbarButton("refresh")->trigger();
        f.waitForListing();
        const QTreeWidgetItem* kept = f.window.lvwEntries->currentItem();
        QVERIFY(kept);
        QCOMPARE(kept->text(0), QStringLiteral("Gone"));
    }

    void clickDuringALongListingShowsOnlyTheNewCategory() {
        Fixture f;
        f.startWindow();
        f.waitForListing();
        QTreeWidgetItem* all = f.window.categoryNode("ALL");
        const QString allCaption = all->text(0);
        f.window.tvwCategories_NodeClick(all);
        QVERIFY(f.window.isLoading());
        QTreeWidgetItem* machineRun = f.window.categoryNode("ALL RUN");
        f.window.tvwCategories_NodeClick(machineRun);
        f.waitForListing();
        QCOMPARE(f.window.lvwEntries->topLevelItemCount(), 3);
        QCOMPARE(f.distinctRows(), 3);
        QCOMPARE(machineRun->text(0), f.texts.GetText("Run") + QStringLiteral(" (3)"));
        QCOMPARE(all->text(0), allCaption);
    }

    // The check list of the last run dims new rows once the whole start-up listing is in.
    void startUpDimsNewRowsOfALongListingOnce() {
        Fixture f;
        QFile list(f.startup.files.checkList());
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("C:\\Tools\\known.exe\r\nC:\\Tools\\t599.exe\r\n");
        list.close();
        f.startWindow();
        f.waitForListing();
        QCOMPARE(f.window.lvwEntries->topLevelItemCount(), kAllRows);
        QCOMPARE(f.distinctRows(), kAllRows);
        int undimmed = 0;
        for (const AutostartEntry& row : f.window.rowsInListOrder())
            undimmed += !row.ghosted;
        QCOMPARE(undimmed, 2);
        QVERIFY(!f.window.rowOf(f.window.lvwEntries->topLevelItem(kAllRows - 3))->ghosted); // "Known"
    }
};

QTEST_MAIN(MainWindowListingTest)
#include "main_window_listing_test.moc"
