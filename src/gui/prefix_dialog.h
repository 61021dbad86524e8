#pragma once

#include "prefix_opener.h"
#include "prefixes/found_prefix.h"

#include <QDialog>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace sw {

class DesktopServices;
class LanguageTexts;
class MessageBoxes;
struct PrefixStatus;
struct ProgramFiles;

// Chooses the Wine prefix the window manages: the prefixes found on the machine with what each
// holds (counted in the background, so the list shows at once), a folder of the user's own and
// the demo prefix. Accepted, chosen() is the prefix to switch to.
class frmPrefixes : public QDialog {
    Q_OBJECT
public:
    // Asks for a folder; empty when the user cancels.
    using FolderPicker = std::function<QString(QWidget* parent, const QString& title)>;

    // current: the folder the window shows now (empty for none); demoFolder: empty when there is no
    // demo prefix.
    frmPrefixes(const LanguageTexts& texts, MessageBoxes& boxes, std::shared_ptr<DesktopServices> desktop,
                const ProgramFiles& files, PrefixOpener opener, std::vector<FoundPrefix> found,
                const QString& current, const QString& demoFolder, QWidget* parent = nullptr);
    ~frmPrefixes() override;

    void setFolderPicker(FolderPicker picker) { m_pickFolder = std::move(picker); }

    // "Open folder…": a prefix is remembered as added and chosen; another folder is refused with
    // a sentence saying why.
    void openFolder();
    // True while entries are still being counted.
    bool isCounting() const { return m_counting > 0; }

    std::optional<FoundPrefix> chosen() const { return m_chosen; }

private:
    void createControls();
    void placeControls();
    void addRow(const FoundPrefix& prefix);
    void countInBackground(QTreeWidgetItem* row);
    void showStatus(const QString& path, std::optional<PrefixStatus> status);
    // The row of a prefix folder (canonical), or nullptr.
    QTreeWidgetItem* rowOfPath(const QString& path) const;
    void choose(const FoundPrefix& prefix);
    // False, after saying why, when folder is no prefix (any more).
    bool isPrefixOrTell(const QString& folder);
    void chooseSelectedRow();
    QString sourceText(PrefixSource source) const;

    QLabel* lblPrefixes = nullptr;
    QTreeWidget* lvwPrefixes = nullptr;
    QLabel* lblNoPrefix = nullptr;
    QPushButton* cmdOpenFolder = nullptr;
    QPushButton* cmdDemo = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    const LanguageTexts& m_texts;
    MessageBoxes& m_boxes;
    std::shared_ptr<DesktopServices> m_desktop; // F1 opens the help through it
    PrefixOpener m_opener;
    QString m_demoFolder;
    FolderPicker m_pickFolder;
    std::optional<FoundPrefix> m_chosen;
    QThreadPool m_counters;
    int m_counting = 0;
};

} // namespace sw
