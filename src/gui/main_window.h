#pragma once

#include "entries/autostart_entry.h"
#include "platform/message_boxes.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QModelIndex;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QListWidgetItem;

namespace sw {

class ColumnFitter;
class EntryListModel;
class EntryLister;
class RatingStrip;
class SplitterPanel;
class frmAddEdit;
struct MainServices;
struct EntryInformation;
struct Place;

// The main window: the category tree, the entry list, the information panel and the toolbar. The
// handlers show what the core gives and forward the user's actions.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // Must be set before the handlers run; the window does not own the services.
    void setServices(MainServices* services);

    // Category tree and list (main_window_lists.cpp).
    void buildCategoryTree();
    // The caption the category's node shows now (with its row count once listed).
    QString categoryCaption(const QString& key) const;
    // Selects the category of a key in the tree and lists it, as a click on its node does.
    void listCategory(const QString& key);
    // The rows in the order the list shows them.
    QList<AutostartEntry> rowsInListOrder() const;
    // Sorts the list by a column, the other way round when it is sorted by that column already.
    void sortListBy(int column);
    // Dims the rows whose program the check list does not name, once the listing is complete.
    void ghostRowsMissingFrom(const QString& checkList);
    // Rows or icons of the listing are still coming in.
    bool isLoading() const;

    // Information panel (main_window_info.cpp): selects the list's first row, which the panel
    // describes; an empty list leaves the panel empty.
    void describeFirstRow();

    // Layout (main_window_layout.cpp).
    void attachSplitterControls();
    void detachSplitterControls();

    // The window's inner size when it opens: 16500 x 8490 twips (1100 x 566 pixels at 96 dpi).
    void resizeToOpeningSize();

    // Widens the category tree's pane so that its captions, with a row count, are not cut; up to a
    // third of the window's lists.
    void fitCategoryPane();

    // Toolbar commands (main_window_commands.cpp): dispatch on the button's key, after letting go of
    // what a listing in progress took as unchanged; "activate", "delete", "run" and "refresh" act on
    // the selected entry and list the category again; "backups" opens the backups window and lists
    // the category again when it closes; "send" opens the report dialog for the selected entry.
    void runCommand(const QString& key);
    // The selected row, if any.
    std::optional<AutostartEntry> selectedRow() const;

    // The add/edit dialog, created on first use and kept for the whole run.
    frmAddEdit* addEditDialog();

    // The toolbar button of a key ("add", "edit", "activate", ...), or nullptr.
    QAction* toolbarButton(const QString& key) const { return m_buttons.value(key); }

    // The window's controls are its own: tests and tools find them by their object names, which are
    // also the keys of their stored settings.
private:
    static void storeNodeCaptions(QTreeWidget* tree);
    QTreeWidgetItem* categoryNode(const QString& key) const;
    // Lists a category. A few hundred rows appear at once; the places of a longer listing come in
    // one per turn of the event loop, so that the window answers meanwhile.
    void listCategoryOfNode(QTreeWidgetItem* node);

    QToolBar* tlbMain = nullptr;
    SplitterPanel* SplitterPanel1 = nullptr;
    SplitterPanel* SplitterPanel2 = nullptr;
    QTreeWidget* tvwCategories = nullptr;
    QTreeView* lvwEntries = nullptr;
    QFrame* fraInformation = nullptr;
    RatingStrip* imgInfos = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblCompany = nullptr;
    QFrame* linSeparator = nullptr;
    QPlainTextEdit* txtInfo = nullptr;
    QFrame* fraLink = nullptr;
    QLabel* imgWeblink = nullptr;
    QListWidget* lvwLinks = nullptr;
    QLabel* imgBackground = nullptr;
    QLabel* lblReadOnly = nullptr; // shown while Wine runs on the prefix

signals:
    // A toolbar button was clicked, with its key.
    void toolbarButtonClicked(const QString& key);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Shows or hides the read-only banner by asking the platform now.
    void updateReadOnlyState();
    // Lists the selected category again and selects the row that stands for keep, where it still does.
    void listCurrentCategoryAgain(const std::optional<AutostartEntry>& keep);
    void describeRow(const QModelIndex& index);
    // The panel and the buttons follow the selected row; with none they are empty and at rest.
    void followSelection();
    void clearInformation();
    void fillLinks(const QString& links);
    void openLink(QListWidgetItem* item);
    void splitterPanel1LayoutChanged(int& position);
    void splitterPanel2LayoutChanged(int& position);
    void toggleFolderList();
    void toggleDetails();
    void activateSelectedEntry();
    void deleteSelectedEntry();
    void runSelectedEntry();
    // Asks before a start of Wine on the stopped prefix runs and removes its RunOnce entries.
    bool mayUseUpRunOnce();
    void showBackups();
    void sendSelectedEntry(); // main_window_send.cpp
    void addOrEditEntry(bool edit);
    // A question or a notice about the row; "%ENTRY%" is its name, "%REASON%" why a step failed.
    MessageAnswer askAbout(const QString& textKey, const AutostartEntry& row, const QString& reason = {},
                           MessageButtons buttons = MessageButtons::YesNo);
    void tell(const QString& textKey, const AutostartEntry& row, const QString& reason = {});
    // The hold on the prefix for a command on the row; null, after telling the user why, when
    // another writer holds the prefix or the row's name is no plain file name.
    std::shared_ptr<void> holdWritingFor(const AutostartEntry& row);
    void createCommandKeys();
    void createToolbarKeys();  // the toolbar's keys and focus
    void createCategoryKeys(); // the category tree's keys (main_window_commands.cpp)
    // Add, edit, activate and delete follow the read-only banner; all but add need a selected row,
    // run one whose program exists, report one the database does not know.
    void applyWriteButtons();
    void createToolbar();
    void createLists();
    void createInformationPanel();
    void showListedCount();
    void selectListedRow(qsizetype row);
    void showEntryInformation(const EntryInformation& info);
    void showProgramMissing();
    void resizeControls();
    void placeDesignedControls();
    void connectHandlers();
    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;
    int toTwipsX(int pixels) const;
    int toTwipsY(int pixels) const;

    MainServices* m_services = nullptr;
    frmAddEdit* m_addEdit = nullptr;
    QHash<QString, QAction*> m_buttons;
    struct ShownRow {
        bool programMissing = false;
        bool reportable = false; // the database has no record of its program
    };
    std::optional<ShownRow> m_shownRow; // what the information panel shows; none when it is empty
    EntryLister* m_lister = nullptr;    // made with the services
    EntryListModel* m_model = nullptr;
    ColumnFitter* m_columns = nullptr; // the entry list's column widths
    int m_categoryPaneTwips = 0;       // the tree pane's fitted width, until the first layout takes it
};

} // namespace sw
