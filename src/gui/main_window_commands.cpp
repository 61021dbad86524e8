// The toolbar's commands: add and edit, those on the selected entry (activate, delete, run,
// refresh), the backups window and the dispatch.
#include "add_edit_dialog.h"
#include "backup_window.h"
#include "entries/entry_actions.h"
#include "entries/entry_lister.h"
#include "entries/wine_starts.h"
#include "entry_list_model.h"
#include "help_key.h"
#include "help_window.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "translate_form.h"
#include "writer_hold.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QShortcut>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace sw {

void frmMain::runCommand(const QString& key) {
    // Commands write the registry and files; a listing still coming in reads them anew from here on.
    if (m_lister)
        m_lister->releaseContents();
    if (key == QLatin1String("folderlist"))
        toggleFolderList();
    else if (key == QLatin1String("details"))
        toggleDetails();
    else if (key == QLatin1String("add"))
        addOrEditEntry(false);
    else if (key == QLatin1String("edit"))
        addOrEditEntry(true);
    else if (key == QLatin1String("activate"))
        activateSelectedEntry();
    else if (key == QLatin1String("delete"))
        deleteSelectedEntry();
    else if (key == QLatin1String("run"))
        runSelectedEntry();
    else if (key == QLatin1String("refresh"))
        listCurrentCategoryAgain(selectedRow());
    else if (key == QLatin1String("backups"))
        showBackups();
    else if (key == QLatin1String("send"))
        sendSelectedEntry();
    else if (key == QLatin1String("help") && m_services)
        showHelpWindow(this, userHelpFile(m_services->files, m_services->texts),
                       *m_services->platform.desktop);
}

std::optional<AutostartEntry> frmMain::selectedRow() const {
    const QModelIndex current = lvwEntries->currentIndex();
    const AutostartEntry* row = current.isValid() && lvwEntries->selectionModel()->isSelected(current)
                                    ? m_model->rowAt(current)
                                    : nullptr;
    return row ? std::optional<AutostartEntry>(*row) : std::nullopt;
}

namespace {

// The key's text with both placeholders filled in one pass, so a name or a reason that holds a
// placeholder stays as it is.
QString filledText(const LanguageTexts& texts, const QString& textKey, const QString& name,
                   const QString& reason) {
    QStringList pieces = texts.getText(textKey).split(QStringLiteral("%ENTRY%"));
    for (QString& piece : pieces)
        piece.replace(QStringLiteral("%REASON%"), reason);
    return pieces.join(name);
}

QString reasonOf(const std::exception& error) {
    return QString::fromUtf8(error.what()).trimmed();
}

} // namespace

MessageAnswer frmMain::askAbout(const QString& textKey, const AutostartEntry& row, const QString& reason,
                                MessageButtons buttons) {
    return m_services->boxes.show(filledText(m_services->texts, textKey, row.name, reason), QString(),
                                  MessageIcon::Question, buttons);
}

void frmMain::tell(const QString& textKey, const AutostartEntry& row, const QString& reason) {
    m_services->boxes.show(filledText(m_services->texts, textKey, row.name, reason), QString(),
                           MessageIcon::Exclamation, MessageButtons::Ok);
}

std::shared_ptr<void> frmMain::holdWritingFor(const AutostartEntry& row) {
    auto writing = holdWritingOrTell(m_services->platform, m_services->texts, m_services->boxes);
    if (!writing || !plainNameOrTell(row.name, !row.isRegistryEntry(), m_services->texts, m_services->boxes))
        return nullptr;
    return writing;
}

void frmMain::activateSelectedEntry() {
    const std::optional<AutostartEntry> row = selectedRow();
    // The question says which way the entry is switched.
    if (!row || !m_services ||
        askAbout(row->active ? QStringLiteral("MsgDeactivateReq") : QStringLiteral("MsgActivateReq"), *row) ==
            MessageAnswer::No)
        return;
    const auto writing = holdWritingFor(*row);
    if (!writing)
        return;
    QString failureKey, reason;
    try {
        toggleActivation(m_services->platform, *row);
    } catch (const ValueNotText&) {
        failureKey = ValueNotText::textKey();
    } catch (const WriteRefused&) {
        failureKey = QStringLiteral("MsgWineRunningRefused");
    } catch (const std::exception& error) {
        failureKey = QStringLiteral("MsgActivateFailed");
        reason = reasonOf(error);
    }
    // Listed first, so the message stands over the entry as it is now (and the banner when Wine runs).
    listCurrentCategoryAgain(row);
    if (!failureKey.isEmpty())
        tell(failureKey, *row, reason);
}

void frmMain::deleteSelectedEntry() {
    const std::optional<AutostartEntry> row = selectedRow();
    if (!row || !m_services || askAbout(QStringLiteral("MsgDeleteReq"), *row) == MessageAnswer::No)
        return;
    const auto writing = holdWritingFor(*row);
    if (!writing)
        return;
    const Platform& platform = m_services->platform;
    const QString dataFolder = m_services->files.dataFolder();
    QString failureKey, reason;
    try {
        try {
            deleteEntry(platform, dataFolder, *row, BackupPolicy::RefuseWithoutBackup);
        } catch (const WriteRefused&) {
            throw;
        } catch (const RemovalFailed&) {
            throw;
        } catch (const std::exception& copyFailure) {
            // Only the copy failed and nothing is removed yet: the user decides, and No is the default.
            if (askAbout(QStringLiteral("MsgDeleteWithoutBackupReq"), *row, reasonOf(copyFailure),
                         MessageButtons::YesNoDefaultNo) == MessageAnswer::Yes)
                deleteEntry(platform, dataFolder, *row, BackupPolicy::DeleteEvenWithoutBackup);
        }
    } catch (const WriteRefused&) {
        failureKey = QStringLiteral("MsgWineRunningRefused");
    } catch (const std::exception& error) {
        failureKey = QStringLiteral("MsgDeleteFailed");
        reason = reasonOf(error);
    }
    listCurrentCategoryAgain(row);
    if (!failureKey.isEmpty())
        tell(failureKey, *row, reason);
}

void frmMain::runSelectedEntry() {
    const std::optional<AutostartEntry> row = selectedRow();
    if (!row || !m_services || askAbout(QStringLiteral("MsgExecuteReq"), *row) != MessageAnswer::Yes)
        return;
    if (!mayUseUpRunOnce())
        return;
    try {
        m_services->platform.desktop->startCommandLine(row->program);
    } catch (const std::exception& error) {
        tell(QStringLiteral("MsgExecuteFailed"), *row, reasonOf(error));
        return;
    }
    m_services->boxes.show(m_services->texts.getText(QStringLiteral("MsgExecuteSuc")), QString(),
                           MessageIcon::Information, MessageButtons::Ok);
}

bool frmMain::mayUseUpRunOnce() {
    const QList<AutostartEntry> usedUp = rowsUsedUpByStartingWine(m_services->platform, m_services->texts);
    if (usedUp.isEmpty())
        return true;
    const QString text = m_services->texts.getText(QStringLiteral("MsgRunUsesRunOnceReq"))
                             .replace(QLatin1String("%ENTRIES%"), namesOfRows(usedUp));
    return m_services->boxes.show(text, QString(), MessageIcon::Question, MessageButtons::YesNoDefaultNo) ==
           MessageAnswer::Yes;
}

void frmMain::showBackups() {
    if (!m_services)
        return;
    {
        frmBackup window({m_services->platform, m_services->texts, m_services->boxes,
                          m_services->files.dataFolder(), m_services->files.sharedDataFolders()},
                         this);
        bindHelpKey(&window, *m_services->platform.desktop,
                    userHelpFile(m_services->files, m_services->texts), QStringLiteral("backups-window"));
        window.exec();
    }
    // Restored entries appear at once.
    listCurrentCategoryAgain(selectedRow());
}

frmAddEdit* frmMain::addEditDialog() {
    if (!m_addEdit && m_services)
        m_addEdit = new frmAddEdit(*m_services, this);
    return m_addEdit;
}

void frmMain::addOrEditEntry(bool edit) {
    const std::optional<AutostartEntry> row = selectedRow();
    if (!m_services || (edit && !row))
        return; // nothing to edit
    frmAddEdit* dialog = addEditDialog();
    if (edit) {
        if (!dialog->prepareEdit(*row))
            return;
    } else
        dialog->prepareAdd();
    dialog->exec();
    std::optional<AutostartEntry> keep = row;
    if (const auto& written = dialog->written()) {
        keep = AutostartEntry{};
        keep->tag = written->tag;
        keep->name = written->name;
    }
    listCurrentCategoryAgain(keep);
}

void frmMain::listCurrentCategoryAgain(const std::optional<AutostartEntry>& keep) {
    listCategoryOfNode(tvwCategories->currentItem());
    if (keep && m_lister)
        m_lister->keepRow(*keep); // selected now, or when its place is listed
}

void frmMain::createCommandKeys() {
    // Keys a list user expects; each presses its toolbar button, so a disabled button stays inert.
    const std::pair<QKeySequence, const char*> listKeys[] = {{QKeySequence::Delete, "delete"},
                                                             {QKeySequence(Qt::Key_Space), "activate"},
                                                             {QKeySequence(Qt::Key_Insert), "add"},
                                                             {QKeySequence(Qt::Key_Return), "edit"}};
    for (const auto& [sequence, key] : listKeys) {
        auto* shortcut = new QShortcut(sequence, lvwEntries);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, key] { m_buttons.value(QLatin1String(key))->trigger(); });
    }
    // F5 on every desktop, beside the desktop's own refresh key where that is another one.
    QList<QKeySequence> refreshKeys = QKeySequence::keyBindings(QKeySequence::Refresh);
    if (!refreshKeys.contains(QKeySequence(Qt::Key_F5)))
        refreshKeys.prepend(QKeySequence(Qt::Key_F5));
    auto* refresh = new QShortcut(this);
    refresh->setKeys(refreshKeys);
    connect(refresh, &QShortcut::activated, this,
            [this] { m_buttons.value(QStringLiteral("refresh"))->trigger(); });
    createToolbarKeys();
    createCategoryKeys();
}

void frmMain::createToolbarKeys() {
    // The buttons' own keys come from the language file, as their captions do; translating the window
    // sets them and shows them in the tool tips.
    const std::pair<const char*, const char*> buttonKeys[] = {{"run", "executeKey"},
                                                              {"send", "reportKey"},
                                                              {"backups", "backupKey"},
                                                              {"folderlist", "DirlistKey"},
                                                              {"details", "detailsKey"}};
    for (const auto& [button, textKey] : buttonKeys)
        m_buttons.value(QLatin1String(button))->setProperty(kShortcutKeyProperty, QLatin1String(textKey));
    // Tab reaches the toolbar's buttons; Space presses the one that has the focus. On a low window the
    // buttons that do not fit are behind the toolbar's own overflow button, which needs a name too.
    for (QAction* action : std::as_const(m_buttons))
        if (QWidget* button = tlbMain->widgetForAction(action))
            button->setFocusPolicy(Qt::TabFocus);
    if (auto* more = tlbMain->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setFocusPolicy(Qt::TabFocus);
        more->setProperty(kAccessibleNameKeyProperty, QStringLiteral("MoreButtonsName"));
    }
}

void frmMain::createCategoryKeys() {
    // The list follows the tree's highlight however it moves. A mouse click lists on its own (it
    // lists the current category again too).
    connect(tvwCategories, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (!node || QGuiApplication::mouseButtons() != Qt::NoButton)
            return;
        listCategoryOfNode(node);
    });
    // Return and Space do what a click does.
    for (const int key : {Qt::Key_Return, Qt::Key_Space}) {
        auto* shortcut = new QShortcut(QKeySequence(key), tvwCategories);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this] { listCategoryOfNode(tvwCategories->currentItem()); });
    }
}

void frmMain::applyWriteButtons() {
    const bool writable = !lblReadOnly->isVisibleTo(this);
    const bool shown = m_shownRow.has_value();
    m_buttons.value(QStringLiteral("add"))->setEnabled(writable);
    // A broken entry can still be switched off, edited or deleted.
    for (const char* key : {"edit", "activate", "delete"})
        m_buttons.value(QLatin1String(key))->setEnabled(writable && shown);
    m_buttons.value(QStringLiteral("run"))->setEnabled(shown && !m_shownRow->programMissing);
    m_buttons.value(QStringLiteral("send"))->setEnabled(shown && m_shownRow->reportable);
}

} // namespace sw
