#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace sw {

class LanguageTexts;
class SystemInfo;

// Chooses the place an entry is written to. Created once and only hidden, so the chosen place
// stays chosen from one use to the next.
class frmMove : public QDialog {
    Q_OBJECT
public:
    frmMove(const LanguageTexts& texts, const SystemInfo& system, QWidget* parent = nullptr);

    // The chosen place, read from the selected node on every call: the registry root (0 for a
    // Startup folder or no place) and the key path or Startup folder (empty for no place).
    std::int32_t selectedRoot() const;
    QString selectedKey() const;
    // The selected node's captions from the root down, joined by "\"; empty when none is selected.
    QString selectedNodePath() const;

    // The node of a category key, or nullptr.
    QTreeWidgetItem* node(const QString& key) const;
    // Selects the category's node as a click does: its description shows, OK follows whether it is
    // a place.
    void selectCategory(const QString& key);
    // No node selected: no place, OK at rest.
    void clearChoice();

    // Escape and the close box: the node selected when the dialog opened is selected again.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadForm();
    void showNode(QTreeWidgetItem* node);

    QTreeWidget* tvwCategories = nullptr;
    QLabel* lblDescription = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    void fitDescription();
    QString selectedKeyOfNode() const;

    const LanguageTexts& m_texts;
    const SystemInfo& m_system;
    QString m_keyAtOpening; // the node key selected when the dialog was shown; empty for none
};

} // namespace sw
