// The add/edit and move dialogs, driven through the main window on throwaway prefixes.
#include "entries/add_edit_dialog.h"
#include "entries/move_dialog.h"
#include "main_window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

using namespace sw;

namespace {

const QString kRun = test::kRunKey;
const QString kRunOnce = test::kRunKey + "Once";
const QString kToolWithArguments = QStringLiteral("\"C:\\Program Files\\My Tool\\tool.exe\" /min");

QString lnkinfo(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("lnkinfo"), {file});
    return process.waitForFinished(10000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

struct Fixture : test::MainWindowFixture {
    qsizetype startupMessages = 0;

    Fixture()
        : MainWindowFixture({},
                            test::TempPrefix::userProfileBody() +
                                test::TempPrefix::runSection("\"Mine\"=\"REM C:\\\\Tools\\\\known.exe\"\n")) {
        QFile exe(test::fixture("app_x86_64.exe"));
        const QByteArray program = exe.open(QIODevice::ReadOnly) ? exe.readAll() : QByteArray();
        prefix.writeFile("drive_c/Tools/known.exe", program);
        prefix.writeFile("drive_c/Program Files/My Tool/tool.exe", program);
        startWindow();
        startupMessages = boxes.shown().size(); // the missing description database
        window.show();
    }

    frmAddEdit& dialog() { return *window.addEditDialog(); }
    frmMove& move() { return *dialog().moveDialog(); }

    // Runs a toolbar command whose dialog `answer` fills and confirms; a dialog still open
    // afterwards is cancelled so the command ends. Gives whether it had stayed open.
    bool command(const QString& key, const std::function<void(frmAddEdit&)>& answer) {
        bool stayedOpen = false;
        QTimer::singleShot(0, &window, [&] {
            answer(dialog());
            stayedOpen = dialog().isVisible();
            if (stayedOpen)
                dialog().cmdCancel_Click();
        });
        window.tlbMain_ButtonClick(key);
        return stayedOpen;
    }

    bool add(const QString& name, const QString& program, const QString& place) {
        return command("add", [&](frmAddEdit& d) {
            d.txtName->setText(name);
            d.txtPath->setText(program);
            move().tvwCategories_NodeClick(move().node(place));
            d.cmdOk_Click();
        });
    }

    void select(const QString& name) {
        const auto found = window.lvwEntries->findItems(name, Qt::MatchExactly, 0);
        QVERIFY2(found.size() == 1, qPrintable(name));
        window.lvwEntries->setCurrentItem(found.first());
    }

    bool listed(const QString& name) const {
        return !window.lvwEntries->findItems(name, Qt::MatchExactly, 0).isEmpty();
    }

    QString startupFolder(int csidl) const {
        return services->platform.system->GetSpecialFolder(csidl, false, false);
    }

    QString linkTarget(const QString& managedPath) const {
        auto link = services->platform.newShortcutFile();
        link->LoadShortcut(managedPath);
        return link->GetTarget();
    }

    QStringList shownTexts() const {
        QStringList lines;
        for (const auto& shown : boxes.shown().mid(startupMessages))
            lines.append(shown.text);
        return lines;
    }
};

} // namespace

class AddEditDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void moveDialogOffersTheSixPlacesAndKeepsTheChoice() {
        Fixture f;
        frmMove& move = f.move();
        QCOMPARE(move.tvwCategories->topLevelItemCount(), 2);
        QVERIFY(move.node("ALL RUNONCE")->parent()->isExpanded() &&
                move.node("LOCAL USER")->parent()->isExpanded());
        QVERIFY(!move.cmdOk->isEnabled());
        QCOMPARE(move.SelectedKey(), QString());

        move.tvwCategories_NodeClick(move.node("REGISTRY"));
        QVERIFY(!move.cmdOk->isEnabled());
        QCOMPARE(move.lblDescription->text(), f.texts.GetText("RegDes"));

        // Where each place writes to is the add case's to show.
        move.tvwCategories_NodeClick(move.node("ALL RUNONCE"));
        QVERIFY(move.cmdOk->isEnabled());

        // Chosen through the add/edit dialog's button, the place shows as the node's path; the
        // next use finds the same dialog with the same node selected.
        QTimer::singleShot(0, &move, [&] {
            move.tvwCategories_NodeClick(move.node("LOCAL RUN"));
            move.cmdOk_Click();
        });
        f.dialog().cmdMove_Click();
        QCOMPARE(f.dialog().lblPlace->text(), f.texts.GetText("Registry") + "\\" +
                                                  f.texts.GetText("LocalUsr") + "\\" +
                                                  f.texts.GetText("Run"));
        QCOMPARE(f.window.addEditDialog()->moveDialog(), &move);
        QCOMPARE(move.SelectedKey(), kRun);
        QVERIFY(move.cmdOk->isEnabled());
    }

    void addsAnEntryToEachPlace() {
        Fixture f;
        QDir(f.prefix.commonStartupFolder()).removeRecursively(); // the shell creates it when needed
        f.window.tvwCategories_NodeClick(f.window.categoryNode("ALL"));
        for (const char* place : {"LOCAL RUN", "LOCAL RUNONCE", "ALL RUN", "ALL RUNONCE"})
            QVERIFY(!f.add(QStringLiteral("Tool in ") + place, kToolWithArguments, place));
        QVERIFY(!f.add("Mine.lnk", kToolWithArguments, "LOCAL USER"));
        QVERIFY(!f.add("Shared.LNK", "C:\\Tools\\known.exe", "ALL USERS"));
        QVERIFY2(f.shownTexts().isEmpty(), qPrintable(f.shownTexts().join('\n')));

        // Registry values hold the field as typed; the list shows every new row at once.
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Tool in LOCAL RUN"), kToolWithArguments);
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRunOnce, "Tool in LOCAL RUNONCE"), kToolWithArguments);
        QCOMPARE(f.prefix.value(kHkeyLocalMachine, kRun, "Tool in ALL RUN"), kToolWithArguments);
        QCOMPARE(f.prefix.value(kHkeyLocalMachine, kRunOnce, "Tool in ALL RUNONCE"), kToolWithArguments);
        for (const char* name : {"Tool in LOCAL RUN", "Tool in ALL RUNONCE", "Mine.lnk", "Shared.LNK.lnk"})
            QVERIFY2(f.listed(name), name);
        QCOMPARE(f.window.selectedRow()->name, QStringLiteral("Shared.LNK.lnk"));

        // Shortcuts keep only the program file; ".lnk" is appended unless the name ends exactly so.
        const QString mine = f.startupFolder(kCsidlStartup) + "\\Mine.lnk";
        QCOMPARE(f.linkTarget(mine), QStringLiteral("C:\\Program Files\\My Tool\\tool.exe"));
        QCOMPARE(f.linkTarget(f.startupFolder(kCsidlCommonStartup) + "\\Shared.LNK.lnk"),
                 QStringLiteral("C:\\Tools\\known.exe"));
        const QString info = lnkinfo(f.services->platform.fileSystem->hostPath(mine));
        QVERIFY2(info.contains("Local path\t\t\t: C:\\Program Files\\My Tool\\tool.exe"), qPrintable(info));
        QVERIFY2(!info.contains("Command line arguments"), qPrintable(info));
    }

    void editReplacesMovesAndReactivates() {
        Fixture f;
        // No place chosen since the start: OK asks for one and keeps the dialog and its input.
        f.select("Mine");
        QVERIFY(f.command("edit", [&](frmAddEdit& d) {
            QCOMPARE(d.DialogMode(), QStringLiteral("edit"));
            QCOMPARE(d.txtPath->text(), QStringLiteral("C:\\Tools\\known.exe"));
            QVERIFY(d.cmdOk->isEnabled());
            d.cmdOk_Click();
        }));
        QCOMPARE(f.shownTexts(), QStringList{f.texts.GetText("ChooseEntryPlace")});
        QCOMPARE(f.boxes.shown().last().icon, MessageIcon::Exclamation);
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("REM C:\\Tools\\known.exe"));

        // Without a change, in the same place: the inactive entry is written again, active.
        f.select("Mine");
        QVERIFY(!f.command("edit", [&](frmAddEdit& d) {
            f.move().tvwCategories_NodeClick(f.move().node("LOCAL RUN"));
            d.cmdOk_Click();
        }));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("C:\\Tools\\known.exe"));

        // A rename uses the place chosen in the earlier use, although the label asks for one.
        f.select("Mine");
        QVERIFY(!f.command("edit", [&](frmAddEdit& d) {
            QCOMPARE(d.lblPlace->text(), f.texts.GetText("ChoosePlease"));
            d.txtName->setText("Renamed");
            d.cmdOk_Click();
        }));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("<none>"));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Renamed"), QStringLiteral("C:\\Tools\\known.exe"));
        QVERIFY(f.listed("Renamed") && !f.listed("Mine"));

        // A move from the Run key into a Startup folder whose path is a file fails before anything
        // is removed, and says why; once the folder can be made, the move goes through.
        QDir(f.prefix.commonStartupFolder()).removeRecursively();
        QVERIFY(f.prefix.writeFile(f.prefix.commonStartupFolder().mid(f.prefix.path().size() + 1), "x"));
        f.select("Renamed");
        QVERIFY(f.command("edit", [&](frmAddEdit& d) {
            f.move().tvwCategories_NodeClick(f.move().node("ALL USERS"));
            d.cmdOk_Click();
        }));
        QVERIFY2(f.shownTexts().last().contains("\"Renamed\""), qPrintable(f.shownTexts().last()));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Renamed"), QStringLiteral("C:\\Tools\\known.exe"));
        QVERIFY(QFile::remove(f.prefix.commonStartupFolder()));
        f.select("Renamed");
        QVERIFY(!f.command("edit", [&](frmAddEdit& d) { d.cmdOk_Click(); }));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Renamed"), QStringLiteral("<none>"));
        QCOMPARE(f.linkTarget(f.startupFolder(kCsidlCommonStartup) + "\\Renamed.lnk"),
                 QStringLiteral("C:\\Tools\\known.exe"));
        QCOMPARE(f.window.selectedRow()->name, QStringLiteral("Renamed.lnk"));
    }

    void programCheckAndNamesGuardTheWrite() {
        Fixture f;
        frmAddEdit& d = f.dialog();
        d.prepareAdd();
        QCOMPARE(d.txtName->text(), f.texts.GetText("NewEntry"));
        QVERIFY(!d.cmdOk->isEnabled());
        d.txtPath->setText("  C:\\Tools\\known.exe  ");
        QVERIFY(d.cmdOk->isEnabled());
        QVERIFY(!d.picIcon->pixmap().isNull());
        for (const char* bad :
             {"", "   ", "\"C:\\Program Files\\My Tool\\tool.exe", "C:\\Missing\\tool.exe"}) {
            d.txtPath->setText("C:\\Tools\\known.exe");
            d.txtPath->setText(bad);
            QVERIFY2(!d.cmdOk->isEnabled(), bad);
        }
        QVERIFY(f.prefix.writeFile("drive_c/Tools/hidden.exe", "MZ"));
        FileAttributes hidden;
        hidden.hidden = true;
        f.services->platform.fileSystem->setAttributes("C:\\Tools\\hidden.exe", hidden);
        d.txtPath->setText("C:\\Tools\\hidden.exe");
        QVERIFY(!d.cmdOk->isEnabled());
        d.txtName->setText(QString(150, 'x'));
        QCOMPARE(d.txtName->text().size(), 100);

        // Names Windows refuses as file names give a message and no file; the registry takes them.
        const QString folder = f.prefix.userStartupFolder();
        for (const char* bad : {"a\\b", "a:b", "say \"hi\"", "dot.", "CON", " "}) {
            QVERIFY(f.add(bad, "C:\\Tools\\known.exe", "LOCAL USER"));
            QCOMPARE(f.shownTexts().last(), f.texts.textForEntry("MsgBadEntryName", QString(bad).trimmed()));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
        QVERIFY(!f.add("a\\b", "C:\\Tools\\known.exe", "LOCAL RUN"));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "a\\b"), QStringLiteral("C:\\Tools\\known.exe"));

        // While Wine runs nothing is written, the dialog stays open and keeps what was typed.
        f.services->platform.readOnlyReason = [] { return QStringLiteral("Wine is running."); };
        QVERIFY(f.command("add", [&](frmAddEdit& open) {
            open.txtName->setText("Later");
            open.txtPath->setText("C:\\Tools\\known.exe");
            open.cmdOk_Click();
            QCOMPARE(open.txtName->text(), QStringLiteral("Later"));
        }));
        QVERIFY2(f.shownTexts().last().contains("Wine is running."), qPrintable(f.shownTexts().last()));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Later"), QStringLiteral("<none>"));
    }

    void browseWritesTheWindowsPathOfThePickedFile() {
        Fixture f;
        frmAddEdit& d = f.dialog();
        d.prepareAdd();
        QStringList asked;
        QString picked;
        d.setFilePicker([&](QWidget*, const QString& title, const QString& folder, const QString& filter) {
            asked = {title, folder, filter};
            return picked;
        });
        picked = f.prefix.hostPath("drive_c/Program Files/My Tool/tool.exe");
        d.cmdBrowse_Click();
        QCOMPARE(asked, QStringList({f.texts.GetText("SearchFile"), f.prefix.hostPath("dosdevices/c:"),
                                     f.texts.GetText("ExeFilter")}));
        QCOMPARE(d.txtPath->text(), QStringLiteral("\"C:\\Program Files\\My Tool\\tool.exe\""));
        QVERIFY(d.cmdOk->isEnabled());

        // A cancelled dialog and a file on no drive of the prefix leave the field as it was.
        picked.clear();
        d.cmdBrowse_Click();
        QTemporaryDir outside;
        picked = outside.filePath("elsewhere.exe");
        QFile file(picked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        d.cmdBrowse_Click();
        QCOMPARE(d.txtPath->text(), QStringLiteral("\"C:\\Program Files\\My Tool\\tool.exe\""));
        QCOMPARE(f.shownTexts(),
                 QStringList{f.texts.GetText("MsgFileOutsidePrefix").replace("%PATH%", picked)});

        // With Wine's drive for the host's root, the closest drive names the file.
        QVERIFY(QFile::link("/", f.prefix.hostPath("dosdevices/z:")));
        d.cmdBrowse_Click();
        QCOMPARE(d.txtPath->text(), "\"Z:" + QFileInfo(picked).canonicalFilePath().replace('/', '\\') + "\"");
        picked = f.prefix.hostPath("drive_c/Tools/known.exe");
        d.cmdBrowse_Click();
        QCOMPARE(d.txtPath->text(), QStringLiteral("\"C:\\Tools\\known.exe\""));
    }
};

QTEST_MAIN(AddEditDialogTest)
#include "add_edit_dialog_test.moc"
