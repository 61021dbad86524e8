#pragma once

#include "backups/backup_list.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace sw {

struct Platform;
class ColumnFitter;
class LanguageTexts;
class MessageBoxes;

// What the backups window works with; it owns none of it.
struct BackupServices {
    const Platform& platform;
    const LanguageTexts& texts;
    MessageBoxes& boxes;
    QString dataFolder;        // the prefix's records
    QStringList sharedFolders; // where earlier versions kept the backups of every prefix
};

// The backups window: lists the backups of deleted entries, restores one (asking before it replaces
// an entry of the same name) or deletes the selected ones. Modal; each opening loads it afresh.
class frmBackup : public QDialog {
    Q_OBJECT
public:
    explicit frmBackup(BackupServices services, QWidget* parent = nullptr);

    // Sorts the list by a column, the other way round when it is sorted by that column already.
    void sortBy(int column);

private:
    // Translates the window and fills the list.
    void loadForm();
    void fillBackupList();
    void restoreSelectedBackup();
    void purgeSelectedBackup();
    void enableBackupButtons();
    // The row of a list item, or nullptr.
    const BackupRow* rowOf(const QTreeWidgetItem* item) const;

    // The window's controls are its own: tests find them by their object names.
    QTreeWidget* lvwBackups = nullptr;
    ColumnFitter* m_columns = nullptr; // the program line gives way before a name or a place
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;

    void createControls();
    void showFailure(const QString& textKey, const QString& name, const QString& reason = {});

    BackupServices m_services;
    QList<BackupRow> m_rows;
};

} // namespace sw
