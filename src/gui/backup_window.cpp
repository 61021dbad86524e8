#include "backup_window.h"

#include "backups/backup_restore.h"
#include "column_fitter.h"
#include "controls/twips.h"
#include "entries/entry_actions.h"
#include "entries/places.h"
#include "header_sort.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "read_only_watch.h"
#include "translate_form.h"
#include "writer_hold.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>

namespace sw {

namespace {

constexpr int kRowRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1; // the place's position in the category tree

// The backups of one place stay together, in the order the category tree shows the places; a click
// on a column header sorts within each place.
class BackupItem : public QTreeWidgetItem {
public:
    BackupItem(const QStringList& texts, const QString& labelKey) : QTreeWidgetItem(texts) {
        const qsizetype group = placesInTreeOrder().indexOf(placeByBackupKind(labelKey));
        setData(0, kGroupRole, int(group < 0 ? placesInTreeOrder().size() : group));
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        const int group = data(0, kGroupRole).toInt();
        const int otherGroup = other.data(0, kGroupRole).toInt();
        if (group == otherGroup)
            return QTreeWidgetItem::operator<(other);
        // A descending sort asks the other way round; the places keep their order all the same.
        const bool descending =
            treeWidget() && treeWidget()->header()->sortIndicatorOrder() == Qt::DescendingOrder;
        return descending ? group > otherGroup : group < otherGroup;
    }
};

struct Column {
    const char* caption; // built-in German caption
    const char* key;
    int widthTwips;
};
const Column kColumns[] = {{"Name", "name", 1600}, {"Programm", "program", 5000}, {"Ort", "place", 2000}};

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, const char* key) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    setLanguageKey(button, QLatin1String(key));
    return button;
}

} // namespace

frmBackup::frmBackup(BackupServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_services(std::move(services)) {
    setObjectName(QStringLiteral("frmBackup"));
    setLanguageKey(this, QStringLiteral("BackupWinTit"));
    setWindowTitle(QStringLiteral("Backups"));
    setModal(true);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    setFont(tahoma);
    createControls();
    loadForm();
}

void frmBackup::createControls() {
    const TwipScale scale(logicalDpiX(), logicalDpiY());
    setFixedSize(scale.toPixelsX(9975), scale.toPixelsY(3825));

    lvwBackups = new QTreeWidget(this);
    lvwBackups->setObjectName(QStringLiteral("lvwBackups"));
    lvwBackups->setRootIsDecorated(false);
    lvwBackups->setUniformRowHeights(true);
    lvwBackups->setAllColumnsShowFocus(true);
    lvwBackups->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwBackups->setSortingEnabled(false);
    lvwBackups->header()->setSectionsClickable(true);
    QFont listFont = lvwBackups->font();
    listFont.setPointSizeF(9);
    lvwBackups->setFont(listFont);
    lvwBackups->setColumnCount(int(std::size(kColumns)));
    QStringList keys;
    for (int column = 0; column < int(std::size(kColumns)); ++column) {
        lvwBackups->headerItem()->setText(column, QString::fromUtf8(kColumns[column].caption));
        lvwBackups->setColumnWidth(column, scale.toPixelsX(kColumns[column].widthTwips));
        keys << QLatin1String(kColumns[column].key);
    }
    lvwBackups->setProperty(kColumnKeysProperty, keys);
    m_columns = new ColumnFitter(lvwBackups, 1);
    lvwBackups->setGeometry(scale.toPixels(QRect(120, 120, 9735, 3135)));

    cmdRestore = makeButton(this, "cmdRestore", "&Wiederherstellen", "Restore");
    cmdRestore->setGeometry(scale.toPixels(QRect(120, 3360, 1815, 375)));
    cmdRestore->setEnabled(false);
    cmdDelete = makeButton(this, "cmdDelete", "&L\xc3\xb6schen", "Del");
    cmdDelete->setGeometry(scale.toPixels(QRect(2040, 3360, 1815, 375)));
    cmdDelete->setEnabled(false);
    cmdClose = makeButton(this, "cmdClose", "&Schliessen", "Close");
    cmdClose->setGeometry(scale.toPixels(QRect(8040, 3360, 1815, 375)));

    connect(lvwBackups, &QTreeWidget::itemClicked, this, [this] { enableBackupButtons(); });
    // The keyboard's way to pick a row counts as a click.
    connect(lvwBackups, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!lvwBackups->selectedItems().isEmpty())
            enableBackupButtons();
    });
    connect(lvwBackups->header(), &QHeaderView::sectionClicked, this, &frmBackup::sortBy);
    connect(cmdRestore, &QPushButton::clicked, this, &frmBackup::restoreSelectedBackup);
    connect(cmdDelete, &QPushButton::clicked, this, &frmBackup::purgeSelectedBackup);
    // Escape rejects the dialog, which is what the close button does.
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* deleteKey = new QShortcut(QKeySequence::Delete, lvwBackups);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, cmdDelete, &QPushButton::click);
    // Restore and Delete rest while Wine runs on the prefix, also when it starts after the opening.
    auto* wine = new ReadOnlyWatch([this] { return m_services.platform.readOnlyReason(); }, this);
    connect(wine, &ReadOnlyWatch::changed, this, [this](const QString& reason) {
        if (!reason.isEmpty() || !lvwBackups->selectedItems().isEmpty())
            enableBackupButtons();
    });

    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    lvwBackups->setFocus();
}

void frmBackup::loadForm() {
    translateForm(this, m_services.texts);
    // The buttons are named by their captions; the list has none of its own.
    lvwBackups->setAccessibleName(windowTitle());
    fillBackupList();
}

void frmBackup::fillBackupList() {
    lvwBackups->clear();
    const BackupListing listing =
        listBackups(m_services.platform, m_services.texts, m_services.dataFolder, m_services.sharedFolders);
    for (qsizetype i = 0; i < listing.unreadableKeys.size(); ++i)
        m_services.boxes.show(m_services.texts.getText(QStringLiteral("MsgErrNoPrivileges")), QString(),
                              MessageIcon::Exclamation, MessageButtons::Ok);
    m_rows = listing.rows;
    QList<QTreeWidgetItem*> items;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const BackupRow& row = m_rows[i];
        auto* item = new BackupItem({row.name, row.program, shownPlace(m_services.texts, row)}, row.labelKey);
        item->setData(0, kRowRole, int(i));
        items.append(item);
    }
    lvwBackups->addTopLevelItems(items);
    m_columns->fit();
    if (const QHeaderView* header = lvwBackups->header(); header->isSortIndicatorShown())
        lvwBackups->sortItems(header->sortIndicatorSection(), header->sortIndicatorOrder());
}

const BackupRow* frmBackup::rowOf(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    const int index = item->data(0, kRowRole).toInt();
    return index >= 0 && index < m_rows.size() ? &m_rows[index] : nullptr;
}

void frmBackup::enableBackupButtons() {
    const bool writable = m_services.platform.readOnlyReason().isEmpty();
    cmdRestore->setEnabled(writable);
    cmdDelete->setEnabled(writable);
}

void frmBackup::sortBy(int column) {
    lvwBackups->sortItems(column, sortOrderAfterClick(*lvwBackups->header(), column));
}

void frmBackup::showFailure(const QString& textKey, const QString& name, const QString& reason) {
    QString text = m_services.texts.getText(textKey);
    text.replace(QStringLiteral("%ENTRY%"), name);
    text.replace(QStringLiteral("%REASON%"), reason);
    m_services.boxes.show(text, QString(), MessageIcon::Exclamation, MessageButtons::Ok);
}

void frmBackup::restoreSelectedBackup() {
    const BackupRow* current = rowOf(lvwBackups->currentItem());
    if (!current)
        return;
    const BackupRow row = *current;
    // One question: a restore that would replace an entry says so.
    const bool replace = restoreTargetTaken(m_services.platform, row);
    QString question = m_services.texts.getText(replace ? QStringLiteral("MsgRestoreReplaceReq")
                                                        : QStringLiteral("MsgRestoreBackupReq"));
    question.replace(QStringLiteral("%ENTRY%"), replace ? row.originalName() : row.name);
    const MessageButtons buttons = replace ? MessageButtons::YesNoDefaultNo : MessageButtons::YesNo;
    if (m_services.boxes.show(question, QString(), MessageIcon::Question, buttons) != MessageAnswer::Yes)
        return;
    const auto writing = holdWritingOrTell(m_services.platform, m_services.texts, m_services.boxes);
    if (!writing || !plainNameOrTell(row.name, !row.isRegistryBackup(), m_services.texts, m_services.boxes))
        return;
    try {
        restoreBackup(m_services.platform, row, m_services.dataFolder,
                      replace ? RestoreMode::ReplaceExisting : RestoreMode::KeepExisting);
    } catch (const WriteRefused& refused) {
        showFailure(QStringLiteral("MsgWriteRefused"), row.name, QString::fromStdString(refused.what()));
    } catch (const RestoreFailed& failed) {
        showFailure(failed.messageKey(),
                    failed.messageKey() == QLatin1String("MsgRestoreTaken") ? row.originalName() : row.name);
    } catch (const std::exception&) {
        showFailure(QStringLiteral("MsgRestoreFailed"), row.name);
    }
    fillBackupList();
}

void frmBackup::purgeSelectedBackup() {
    QStringList names;
    for (int i = 0; i < lvwBackups->topLevelItemCount(); ++i)
        if (lvwBackups->topLevelItem(i)->isSelected())
            names.append(lvwBackups->topLevelItem(i)->text(0));
    if (names.isEmpty())
        return;
    QString question = m_services.texts.getText(QStringLiteral("MsgDelBackupReq"));
    question.replace(QStringLiteral("%ENTRY%"), names.join(QStringLiteral(", ")));
    if (m_services.boxes.show(question, QString(), MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;
    const auto writing = holdWritingOrTell(m_services.platform, m_services.texts, m_services.boxes);
    if (!writing)
        return;
    QStringList kept;
    QString refusal;
    // Backwards, so removing a row leaves the indices still to visit valid.
    for (int i = lvwBackups->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = lvwBackups->topLevelItem(i);
        const BackupRow* row = item->isSelected() ? rowOf(item) : nullptr;
        if (!row)
            continue;
        try {
            deleteBackup(m_services.platform, *row);
        } catch (const WriteRefused& refused) {
            refusal = QString::fromStdString(refused.what());
            kept.prepend(row->name);
        } catch (const std::exception&) {
            kept.prepend(row->name);
        }
        delete lvwBackups->takeTopLevelItem(i);
    }
    if (!refusal.isEmpty())
        showFailure(QStringLiteral("MsgWriteRefused"), kept.join(QStringLiteral(", ")), refusal);
    else if (!kept.isEmpty())
        showFailure(QStringLiteral("MsgDelBackupFailed"), kept.join(QStringLiteral(", ")));
    fillBackupList();
}

} // namespace sw
