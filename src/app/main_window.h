#pragma once

#include <QHash>
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QToolBar;
class QTreeWidget;

namespace sw {

// The main window's controls, created, named and keyed for translation. What they show and how
// they are placed is decided by the start-up, the listing, the information panel and the layout.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // The toolbar button of a key ("add", "edit", "activate", ...), or nullptr.
    QAction* toolbarButton(const QString& key) const { return m_buttons.value(key); }

    QToolBar* tlbMain = nullptr;
    QWidget* SplitterPanel1 = nullptr;
    QWidget* SplitterPanel2 = nullptr;
    QTreeWidget* tvwCategories = nullptr;
    QTreeWidget* lvwEntries = nullptr;
    QFrame* fraInformation = nullptr;
    QLabel* imgInfos = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblCompany = nullptr;
    QFrame* linSeperator = nullptr;
    QPlainTextEdit* txtInfo = nullptr;
    QFrame* fraLink = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* imgWeblink = nullptr;
    QListWidget* lvwLinks = nullptr;
    QLabel* imgBackground = nullptr;
    QLabel* imgTemp = nullptr;

signals:
    // A toolbar button was clicked, with its key.
    void toolbarButtonClicked(const QString& key);
    // F1 was pressed.
    void helpRequested();

private:
    void createToolbar();
    void createLists();
    void createInformationPanel();

    QHash<QString, QAction*> m_buttons;
};

} // namespace sw
