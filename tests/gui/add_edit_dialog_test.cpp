// The add/edit and move dialogs, driven through the main window on throwaway prefixes.
#include "entries/entry_actions.h"
#include "entries/places.h"
#include "fixture_bytes.h"
#include "gui/add_edit_dialog.h"
#include "gui/art.h"
#include "gui/move_dialog.h"
#include "main_window_fixture.h"
#include "window_controls.h"

#include <QApplication>
#include <QDir>
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
const QString kToolWithArguments = QStringLiteral("\"C:\\Program Files\\My Tool\\tool.exe\" /min");

QString lnkinfo(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("lnkinfo"), {file});
    return process.waitForFinished(10000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

struct Fixture : test::MainWindowFixture {
    qsizetype startupMessages = 0;

    Fixture()
        : MainWindowFixture({}, test::TempPrefix::userProfileBody() +
                                    test::TempPrefix::runSection("\"Mine\"=\"REM C:\\\\Tools\\\\known.exe\"\n"
                                                                 "\"Number\"=dword:00000001\n")) {
        const QByteArray program = test::fixtureBytes("app_x86_64.exe");
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
                dialog().cancel();
        });
        window.runCommand(key);
        return stayedOpen;
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

    void moveDialogOffersEveryPlaceAndKeepsTheChoice() {
        Fixture f;
        frmMove& move = f.move();
        QCOMPARE(test::control<QTreeWidget>(move, "tvwCategories")->topLevelItemCount(), 3);
        QVERIFY(move.node("ALL RUNONCE")->parent()->isExpanded() &&
                move.node("LOCAL USER")->parent()->isExpanded() &&
                move.node("RUNSERVICES")->parent()->isExpanded());
        QCOMPARE(move.node("ALL RUN32")->parent(), move.node("ALL RUN"));
        QVERIFY(!test::control<QPushButton>(move, "cmdOk")->isEnabled());
        QCOMPARE(move.selectedKey(), QString());

        move.selectCategory("REGISTRY");
        QVERIFY(!test::control<QPushButton>(move, "cmdOk")->isEnabled());
        QCOMPARE(test::control<QLabel>(move, "lblDescription")->text(), f.texts.getText("RegDes"));
        // Every description shows whole, above the buttons.
        auto* description = test::control<QLabel>(move, "lblDescription");
        for (const QString& key : categoryKeys()) {
            if (!move.node(key))
                continue;
            move.selectCategory(key);
            QVERIFY2(description->heightForWidth(description->width()) <= description->height() &&
                         description->geometry().bottom() <
                             test::control<QPushButton>(move, "cmdCancel")->y(),
                     qPrintable(key));
        }

        // Chosen through the add/edit dialog's button, the place shows as the node's path; the
        // next use finds the same dialog with the same node selected.
        QTimer::singleShot(0, &move, [&] {
            move.selectCategory("LOCAL RUN");
            move.accept();
        });
        f.dialog().choosePlace();
        QCOMPARE(test::control<QLabel>(f.dialog(), "lblPlace")->text(), f.texts.getText("Registry") + "\\" +
                                                                            f.texts.getText("LocalUsr") +
                                                                            "\\" + f.texts.getText("Run"));
        QCOMPARE(f.window.addEditDialog()->moveDialog(), &move);
        QCOMPARE(move.selectedKey(), kRun);
        QVERIFY(test::control<QPushButton>(move, "cmdOk")->isEnabled());
    }

    void opensOnTheNameAndWritesWhereChosen() {
        Fixture f;
        QDir(f.prefix.commonStartupFolder()).removeRecursively(); // made by the write
        f.window.listCategory("ALL");
        QVERIFY(!f.command("add", [&](frmAddEdit& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QCOMPARE(QApplication::focusWidget(), test::control<QLineEdit>(d, "txtName"));
            QCOMPARE(test::control<QLineEdit>(d, "txtName")->text(), f.texts.getText("NewEntry"));
            QVERIFY(!test::control<QPushButton>(d, "cmdOk")->isEnabled());
            // The warning and the reason OK rests show only when they apply.
            auto* warning = test::control<QLabel>(d, "lblWarning");
            QVERIFY(!warning->isVisible() && test::control<QLabel>(d, "lblNameCaption")->isVisible());
            test::control<QLineEdit>(d, "txtPath")->setText("C:\\Tools\\nothing.exe /x");
            QVERIFY(warning->isVisible() && warning->text() == f.texts.getText("ProgramNotFoundHint"));
            test::control<QLineEdit>(d, "txtPath")->setText(QString(kToolWithArguments).remove('"'));
            QVERIFY(warning->isVisible() && warning->text() == f.texts.getText("TargetSWDes"));
            test::control<QLineEdit>(d, "txtName")->setText("Tool");
            test::control<QLineEdit>(d, "txtPath")->setText(kToolWithArguments);
            QVERIFY(!warning->isVisible());
            QVERIFY(test::control<QPushButton>(d, "cmdOk")->isEnabled());
            QVERIFY(!test::control<QLabel>(d, "picIcon")->pixmap().isNull());
            f.move().selectCategory("LOCAL RUN");
            d.confirm();
        }));
        QVERIFY(!f.command("add", [&](frmAddEdit& d) {
            // A new entry shows no icon of the last one.
            QCOMPARE(test::control<QLabel>(d, "picIcon")->pixmap().toImage(),
                     artPixmap("UNKNOW", QSize(32, 32)).toImage());
            test::control<QLineEdit>(d, "txtName")->setText("Mine.lnk");
            test::control<QLineEdit>(d, "txtPath")->setText(kToolWithArguments);
            f.move().selectCategory("ALL USERS");
            d.confirm();
        }));
        QVERIFY2(f.shownTexts().isEmpty(), qPrintable(f.shownTexts().join('\n')));

        // Each new row is listed at once and the last is selected; Wine's tools read what was written.
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Tool"), kToolWithArguments);
        QCOMPARE(test::entryColumn(f.window, 0).count("Tool"), 1);
        QCOMPARE(f.window.selectedRow()->name, QStringLiteral("Mine.lnk"));
        const QString info = lnkinfo(f.prefix.commonStartupFolder() + "/Mine.lnk");
        QVERIFY2(info.contains("Local path\t\t\t: C:\\Program Files\\My Tool\\tool.exe"), qPrintable(info));
        QVERIFY2(!info.contains("Command line arguments"), qPrintable(info));
    }

    // An edit keeps the entry in its place unless the user chooses another, whatever place an earlier
    // entry went to; an add goes nowhere until a place is chosen.
    void editKeepsThePlaceAndAddAsksForOne() {
        Fixture f;
        QVERIFY(!f.command("add", [&](frmAddEdit& d) {
            test::control<QLineEdit>(d, "txtName")->setText("Tool");
            test::control<QLineEdit>(d, "txtPath")->setText("C:\\Tools\\known.exe");
            f.move().selectCategory("ALL USERS");
            d.confirm();
        }));
        test::selectEntry(f.window, test::entryNamed(f.window, "Mine"));
        QVERIFY(!f.command("edit", [&](frmAddEdit& d) {
            QCOMPARE(d.windowTitle(), f.texts.getText("Edit"));
            QCOMPARE(test::control<QLabel>(d, "lblPlace")->text(), f.texts.getText("Registry") + "\\" +
                                                                       f.texts.getText("LocalUsr") + "\\" +
                                                                       f.texts.getText("Run"));
            QCOMPARE(f.move().selectedKey(), kRun); // where the move dialog opens
            test::control<QLineEdit>(d, "txtName")->setText("Renamed");
            d.confirm();
        }));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("<none>"));
        QVERIFY(f.prefix.value(kHkeyCurrentUser, kRun, "Renamed").endsWith("C:\\Tools\\known.exe"));
        QCOMPARE(QDir(f.prefix.commonStartupFolder()).entryList(QDir::Files), QStringList{"Tool.lnk"});

        QVERIFY(f.command("add", [&](frmAddEdit& d) {
            QCOMPARE(test::control<QLabel>(d, "lblPlace")->text(), f.texts.getText("ChoosePlease"));
            QCOMPARE(f.move().selectedKey(), QString());
            test::control<QLineEdit>(d, "txtName")->setText("Later");
            test::control<QLineEdit>(d, "txtPath")->setText("C:\\Tools\\known.exe");
            d.confirm();
        }));
        QCOMPARE(f.shownTexts().last(), f.texts.getText("ChooseEntryPlace"));
        QCOMPARE(f.boxes.shown().last().icon, MessageIcon::Exclamation);
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Later"), QStringLiteral("<none>"));
        QCOMPARE(QDir(f.prefix.commonStartupFolder()).entryList(QDir::Files), QStringList{"Tool.lnk"});
    }

    // Which problems stop a write is the writer's test; here the message shows and the input stays.
    void aRefusedWriteKeepsTheDialogAndItsInput() {
        Fixture f;
        f.services->platform.readOnlyReason = [] { return QStringLiteral("Wine is running."); };
        QVERIFY(f.command("add", [&](frmAddEdit& open) {
            test::control<QLineEdit>(open, "txtName")->setText("Later");
            test::control<QLineEdit>(open, "txtPath")->setText("C:\\Tools\\known.exe");
            f.move().selectCategory("LOCAL RUN");
            open.confirm();
            QCOMPARE(test::control<QLineEdit>(open, "txtName")->text(), QStringLiteral("Later"));
        }));
        QVERIFY2(f.shownTexts().last().contains("Wine is running."), qPrintable(f.shownTexts().last()));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Later"), QStringLiteral("<none>"));

        // A name too long is shown whole and refused, never cut to fit.
        f.services->platform.readOnlyReason = [] { return QString(); };
        const QString longName(kMaxEntryNameLength + 50, 'x');
        QVERIFY(f.command("add", [&](frmAddEdit& open) {
            test::control<QLineEdit>(open, "txtName")->setText(longName);
            test::control<QLineEdit>(open, "txtPath")->setText("C:\\Tools\\known.exe");
            f.move().selectCategory("LOCAL RUN");
            open.confirm();
            QCOMPARE(test::control<QLineEdit>(open, "txtName")->text(), longName);
        }));
        QCOMPARE(f.shownTexts().last(), f.texts.textForEntry("MsgBadEntryName", longName));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, longName.left(kMaxEntryNameLength)),
                 QStringLiteral("<none>"));
    }

    void asksBeforeReplacingAnEntryOfTheSameName() {
        Fixture f;
        const QString backupKey = kBackupKey + "\\HKEY_CU\\Run";
        const auto addMine = [&](frmAddEdit& d) {
            test::control<QLineEdit>(d, "txtName")->setText("mine");
            test::control<QLineEdit>(d, "txtPath")->setText(kToolWithArguments);
            f.move().selectCategory("LOCAL RUN");
            d.confirm();
        };
        // No (also what Enter and Escape give): nothing written, the dialog stays for another name.
        QVERIFY(f.command("add", addMine));
        QCOMPARE(f.shownTexts(), QStringList{f.texts.textForEntry("MsgReplaceEntryReq", "Mine")});
        QCOMPARE(f.boxes.shown().last().buttons, MessageButtons::YesNoDefaultNo);
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Mine"), QStringLiteral("REM C:\\Tools\\known.exe"));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, backupKey, "Mine"), QStringLiteral("<none>"));

        f.boxes.enqueue(MessageAnswer::Yes);
        QVERIFY(!f.command("add", addMine));
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, kRun, "Mine"), kToolWithArguments);
        QCOMPARE(f.prefix.value(kHkeyCurrentUser, backupKey, "Mine"),
                 QStringLiteral("REM C:\\Tools\\known.exe"));
        QCOMPARE(f.shownTexts().size(), 2);
    }

    void aValueWithoutTextIsRefusedBeforeAnythingChanges() {
        Fixture f;
        const QByteArray user = f.prefix.readFile("user.reg");
        QCOMPARE(test::entryColumn(f.window, 0).count("Number"), 1);
        test::selectEntry(f.window, test::entryNamed(f.window, "Number"));
        f.window.runCommand("edit"); // refused before the dialog opens
        f.boxes.enqueue(MessageAnswer::Yes);
        f.window.runCommand("activate");
        const QString refused = f.texts.textForEntry("MsgValueNotText", "Number");
        QCOMPARE(f.shownTexts(),
                 QStringList({refused, f.texts.textForEntry("MsgDeactivateReq", "Number"), refused}));
        QCOMPARE(f.prefix.readFile("user.reg"), user);
    }

    void editingABatchFileRenamesTheFile() {
        Fixture f;
        QVERIFY(f.prefix.writeFile(f.prefix.userStartupFolder() + "/run.bat", "@echo off"));
        const auto select = [&](const QString& name) {
            f.window.listCategory("ALL");
            QCOMPARE(test::entryColumn(f.window, 0).count(name), 1);
            test::selectEntry(f.window, test::entryNamed(f.window, name));
        };
        select("run.bat");
        toggleActivation(f.services->platform, *f.window.selectedRow()); // hidden: still its own program
        select("run.bat");
        QVERIFY(!f.command("edit", [&](frmAddEdit& d) {
            QVERIFY(test::control<QPushButton>(d, "cmdOk")->isEnabled());
            test::control<QLineEdit>(d, "txtName")->setText("Runner");
            f.move().selectCategory("LOCAL USER");
            d.confirm();
        }));
        QCOMPARE(QDir(f.prefix.userStartupFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Runner.bat"});
        QCOMPARE(f.prefix.readFile(f.prefix.userStartupFolder() + "/Runner.bat"), QByteArray("@echo off"));
        QCOMPARE(f.window.selectedRow()->name, QStringLiteral("Runner.bat"));
        QVERIFY(f.command("edit", [&](frmAddEdit& d) {
            test::control<QLineEdit>(d, "txtPath")->setText("C:\\Tools\\known.exe");
            d.confirm();
        }));
        QCOMPARE(f.shownTexts(), QStringList{f.texts.textForEntry("MsgFileProgramFixed", "Runner.bat")});
        QCOMPARE(f.prefix.readFile(f.prefix.userStartupFolder() + "/Runner.bat"), QByteArray("@echo off"));
    }

    void escapeAndTheCloseBoxKeepThePlace() {
        Fixture f;
        frmMove& move = f.move();
        const auto choose = [&](const char* key, const std::function<void()>& leave) {
            QTimer::singleShot(0, &move, [&, key] {
                move.selectCategory(key);
                leave();
            });
            f.dialog().choosePlace();
        };
        choose("LOCAL RUN", [&] { move.accept(); });
        const QString chosen = test::control<QLabel>(f.dialog(), "lblPlace")->text();
        choose("ALL USERS", [&] { QTest::keyClick(&move, Qt::Key_Escape); });
        QCOMPARE(move.selectedKey(), kRun);
        QCOMPARE(test::control<QLabel>(f.dialog(), "lblPlace")->text(), chosen);
        choose("LOCAL RUNONCE", [&] { test::control<QPushButton>(move, "cmdCancel")->click(); });
        QCOMPARE(move.selectedKey(), kRun);
        choose("ALL RUNONCE", [&] { move.close(); });
        QCOMPARE(move.selectedKey(), kRun);
        QCOMPARE(move.selectedRoot(), kHkeyCurrentUser);
        QVERIFY(test::control<QPushButton>(move, "cmdOk")->isEnabled());
        QCOMPARE(test::control<QLabel>(f.dialog(), "lblPlace")->text(), chosen);
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
        d.browseForProgram();
        QCOMPARE(asked, QStringList({f.texts.getText("SearchFile"), f.prefix.hostPath("dosdevices/c:"),
                                     f.texts.getText("ExeFilter")}));
        QCOMPARE(test::control<QLineEdit>(d, "txtPath")->text(),
                 QStringLiteral("\"C:\\Program Files\\My Tool\\tool.exe\""));
        QVERIFY(test::control<QPushButton>(d, "cmdOk")->isEnabled());

        // A file on no drive of the prefix leaves the field as it was.
        QTemporaryDir outside;
        picked = outside.filePath("elsewhere.exe");
        test::writeBytes(picked, {});
        d.browseForProgram();
        QCOMPARE(test::control<QLineEdit>(d, "txtPath")->text(),
                 QStringLiteral("\"C:\\Program Files\\My Tool\\tool.exe\""));
        QCOMPARE(f.shownTexts(),
                 QStringList{f.texts.getText("MsgFileOutsidePrefix").replace("%PATH%", picked)});

        // With Wine's drive for the host's root, the closest drive names the file.
        QVERIFY(QFile::link("/", f.prefix.hostPath("dosdevices/z:")));
        d.browseForProgram();
        QCOMPARE(test::control<QLineEdit>(d, "txtPath")->text(),
                 "\"Z:" + QFileInfo(picked).canonicalFilePath().replace('/', '\\') + "\"");
        picked = f.prefix.hostPath("drive_c/Tools/known.exe");
        d.browseForProgram();
        QCOMPARE(test::control<QLineEdit>(d, "txtPath")->text(), QStringLiteral("\"C:\\Tools\\known.exe\""));
    }
};

QTEST_MAIN(AddEditDialogTest)
#include "add_edit_dialog_test.moc"
