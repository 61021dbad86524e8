// Every window and dialog as a screen reader meets it, in both languages: each control a user can
// reach or use has a name, and no name is a widget's internal name or a class name.
#include "gui/add_edit_dialog.h"
#include "gui/backup_window.h"
#include "gui/frm_send.h"
#include "gui/help_window.h"
#include "gui/move_dialog.h"
#include "gui/prefix_dialog.h"
#include "main_window_fixture.h"
#include "recording_desktop.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

using namespace sw;

namespace {

const QString kTree = QStringLiteral(SW_BINARY_DIR "/StartWarden");

// What a user can reach or use: a control that takes the focus (lists, trees, edits, text views), a
// button even where it takes none, a label with a link.
bool interactive(const QWidget* widget) {
    const auto* label = qobject_cast<const QLabel*>(widget);
    return (widget->focusPolicy() != Qt::NoFocus && !qobject_cast<const QHeaderView*>(widget)) ||
           qobject_cast<const QAbstractButton*>(widget) ||
           (label && label->text().contains(QLatin1String("<a ")));
}

// The problems of one window: unnamed controls and names that are internal names.
QStringList problemsOf(QWidget* window) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    QSet<QString> internalNames;
    for (const QWidget* widget : widgets) {
        if (!widget->objectName().isEmpty())
            internalNames.insert(widget->objectName());
        for (const QMetaObject* type = widget->metaObject(); type; type = type->superClass())
            internalNames.insert(QLatin1String(type->className()));
    }
    static const QRegularExpression className(QStringLiteral("^(Q|sw::)[A-Z]\\w+$"));
    QStringList problems;
    for (QWidget* widget : std::as_const(widgets)) {
        // Qt's own helpers count only when they are on screen (the toolbar's overflow button).
        if (widget->objectName().startsWith(QLatin1String("qt_")) && !widget->isVisible())
            continue;
        const QString name = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        const QString who =
            window->objectName() + '/' + widget->objectName() + ' ' + widget->metaObject()->className();
        if (name.trimmed().isEmpty() && interactive(widget))
            problems << who + QStringLiteral(": no name");
        else if (internalNames.contains(name) || className.match(name).hasMatch())
            problems << who + QStringLiteral(": named \"") + name + QLatin1Char('"');
        // A tree's header, shown or not, names its columns.
        if (const auto* tree = qobject_cast<const QTreeWidget*>(widget))
            for (int column = 0; column < tree->columnCount(); ++column)
                if (const QString caption = tree->headerItem()->text(column);
                    caption.isEmpty() || caption == QString::number(column + 1))
                    problems << who + QStringLiteral(": column ") + QString::number(column) +
                                    QStringLiteral(" unnamed");
    }
    return problems;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everyWindowNamesEveryControl_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("helpPage");
        QTest::newRow("English") << "english.lng"
                                 << "english.html";
        QTest::newRow("German") << "german.lng"
                                << "german.html";
    }

    void everyWindowNamesEveryControl() {
        QFETCH(QString, language);
        QFETCH(QString, helpPage);
        test::MainWindowFixture f({}, test::TempPrefix::runSection("\"Tool\"=\"C:\\\\Tools\\\\tool.exe\"\n"));
        QVERIFY(f.texts.loadLanguage(kTree + "/Data/Languages/" + language));
        f.startWindow(QSize(1100, 566));
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));

        f.window.resize(800, 300); // low: some toolbar buttons are behind its overflow button
        QApplication::processEvents();
        QStringList problems = problemsOf(&f.window);
        f.window.resize(1100, 566);
        frmAddEdit* addEdit = f.window.addEditDialog();
        addEdit->prepareAdd();
        problems << problemsOf(addEdit) << problemsOf(addEdit->moveDialog());
        frmBackup backups({f.services->platform, f.texts, f.boxes, f.services->files.dataFolder(), {}});
        problems << problemsOf(&backups);
        frmSend send(f.texts, f.boxes);
        send.showEntry("Tool", "Example", "C:\\Tools\\tool.exe", f.texts.getText("LURun"));
        problems << problemsOf(&send);
        frmPrefixes chooser(f.texts, f.boxes, f.services->platform.desktop, f.services->files,
                            test::winePrefixOpener(), {{"Tool", PrefixSource::Added, f.prefix.path()}},
                            f.prefix.path(), f.prefix.path());
        problems << problemsOf(&chooser);
        test::RecordingDesktop desktop;
        showHelpWindow(&f.window, kTree + "/Help/" + helpPage, desktop, "keys");
        auto* help = f.window.findChild<QWidget*>("frmHelp");
        QVERIFY(help && help->isVisible());
        problems << problemsOf(help);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));

        // Names come from the captions of the loaded language.
        const auto nameOf = [](QWidget* widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        QCOMPARE(nameOf(addEdit->findChild<QLineEdit*>("txtPath")),
                 f.texts.getText("TargetSW").remove(':').trimmed());
        QCOMPARE(nameOf(f.window.findChild<QWidget*>("tvwCategories")), f.texts.getText("Dirlist"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
