#include "prefix_dialog.h"

#include "help_key.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "prefix_settings.h"
#include "prefixes/prefix_settings.h"
#include "prefixes/prefix_status.h"
#include "translate_form.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sw {

namespace {

const QString kHelpSection = QStringLiteral("prefixes");
constexpr int kPathRole = Qt::UserRole;   // in the name column: the prefix's folder
constexpr int kSourceRole = Qt::UserRole; // in the source column: its PrefixSource
enum Column { NameColumn, SourceColumn, FolderColumn, EntriesColumn, RunningColumn };

QString defaultFolderPicker(QWidget* parent, const QString& title) {
    return QFileDialog::getExistingDirectory(parent, title);
}

// A control with its caption's language key, which also names it for screen readers.
template <typename T> T* keyed(T* control, const char* name, const char* languageKey) {
    control->setObjectName(QLatin1String(name));
    if (languageKey) {
        setLanguageKey(control, QLatin1String(languageKey));
        control->setProperty(kAccessibleNameKeyProperty, QLatin1String(languageKey));
    }
    return control;
}

} // namespace

frmPrefixes::frmPrefixes(const LanguageTexts& texts, MessageBoxes& boxes,
                         std::shared_ptr<DesktopServices> desktop, const ProgramFiles& files,
                         PrefixOpener opener, std::vector<FoundPrefix> found, const QString& current,
                         const QString& demoFolder, QWidget* parent)
    : QDialog(parent), m_texts(texts), m_boxes(boxes), m_desktop(std::move(desktop)),
      m_opener(std::move(opener)), m_demoFolder(demoFolder), m_pickFolder(defaultFolderPicker) {
    setObjectName(QStringLiteral("frmPrefixes"));
    setLanguageKey(this, QStringLiteral("PrefixWinTit"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);
    // Each listing of a prefix reads its registry files; two at a time leave the window a core.
    m_counters.setMaxThreadCount(2);

    createControls();
    placeControls();
    translateForm(this, m_texts); // the list is named after its label, its buddy
    if (m_desktop)
        bindHelpKey(this, *m_desktop, userHelpFile(files, m_texts), kHelpSection);

    for (const FoundPrefix& prefix : found)
        addRow(prefix);
    QTreeWidgetItem* currentRow = rowOfPath(QFileInfo(current).canonicalFilePath());
    lvwPrefixes->setCurrentItem(currentRow ? currentRow : lvwPrefixes->topLevelItem(0));
    const bool none = lvwPrefixes->topLevelItemCount() == 0;
    lblNoPrefix->setVisible(none);
    cmdDemo->setVisible(!m_demoFolder.isEmpty());
    cmdOk->setEnabled(!none);
    (none ? static_cast<QWidget*>(cmdOpenFolder) : lvwPrefixes)->setFocus();
}

frmPrefixes::~frmPrefixes() {
    // The counts still queued are not needed any more; a running one reads to its end.
    m_counters.clear();
    m_counters.waitForDone();
}

void frmPrefixes::createControls() {
    lblPrefixes = keyed(new QLabel(QStringLiteral("&Prefixes:"), this), "lblPrefixes", "PrefixList");
    lvwPrefixes = keyed(new QTreeWidget(this), "lvwPrefixes", nullptr);
    lvwPrefixes->setRootIsDecorated(false);
    lvwPrefixes->setUniformRowHeights(true);
    lvwPrefixes->setAllColumnsShowFocus(true);
    lvwPrefixes->setColumnCount(5);
    lvwPrefixes->setProperty(kColumnKeysProperty,
                             QStringList{QStringLiteral("PrefixName"), QStringLiteral("PrefixSource"),
                                         QStringLiteral("PrefixFolder"), QStringLiteral("PrefixEntries"),
                                         QStringLiteral("PrefixRunning")});
    lvwPrefixes->header()->setStretchLastSection(false);
    lvwPrefixes->header()->setSectionResizeMode(FolderColumn, QHeaderView::Stretch);
    lblPrefixes->setBuddy(lvwPrefixes);
    lblNoPrefix = keyed(new QLabel(this), "lblNoPrefix", "PrefixNoneFound");
    lblNoPrefix->setWordWrap(true);
    cmdOpenFolder = keyed(new QPushButton(this), "cmdOpenFolder", "PrefixOpenFolder");
    cmdDemo = keyed(new QPushButton(this), "cmdDemo", "PrefixDemo");
    cmdOk = keyed(new QPushButton(this), "cmdOk", "PrefixOpen");
    cmdOk->setDefault(true);
    cmdCancel = keyed(new QPushButton(this), "cmdCancel", "Cancel");
    for (QPushButton* button : {cmdOpenFolder, cmdDemo, cmdCancel})
        button->setAutoDefault(false);

    // Return reaches the default button; a desktop that activates on one click would choose too early.
    connect(lvwPrefixes, &QTreeWidget::itemDoubleClicked, this, [this] { chooseSelectedRow(); });
    connect(lvwPrefixes, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* row) { cmdOk->setEnabled(row != nullptr); });
    connect(cmdOk, &QPushButton::clicked, this, &frmPrefixes::chooseSelectedRow);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdOpenFolder, &QPushButton::clicked, this, &frmPrefixes::openFolder);
    connect(cmdDemo, &QPushButton::clicked, this, [this] {
        if (isPrefixOrTell(m_demoFolder))
            choose({m_texts.getText(QStringLiteral("PrefixDemoName")), PrefixSource::Wine, m_demoFolder});
    });
}

void frmPrefixes::placeControls() {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOpenFolder);
    buttons->addWidget(cmdDemo);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPrefixes);
    layout->addWidget(lvwPrefixes, 1);
    layout->addWidget(lblNoPrefix);
    layout->addLayout(buttons);
    resize(760, 360);
}

QString frmPrefixes::sourceText(PrefixSource source) const {
    switch (source) {
    case PrefixSource::Wine:
        return m_texts.getText(QStringLiteral("PrefixFromWine"));
    case PrefixSource::Steam:
        return m_texts.getText(QStringLiteral("PrefixFromSteam"));
    case PrefixSource::Lutris:
        return m_texts.getText(QStringLiteral("PrefixFromLutris"));
    case PrefixSource::Bottles:
        return m_texts.getText(QStringLiteral("PrefixFromBottles"));
    case PrefixSource::Heroic:
        return m_texts.getText(QStringLiteral("PrefixFromHeroic"));
    case PrefixSource::PlayOnLinux:
        return m_texts.getText(QStringLiteral("PrefixFromPlayOnLinux"));
    case PrefixSource::CrossOver:
        return m_texts.getText(QStringLiteral("PrefixFromCrossOver"));
    case PrefixSource::Added:
        return m_texts.getText(QStringLiteral("PrefixFromAdded"));
    }
    return {};
}

void frmPrefixes::addRow(const FoundPrefix& prefix) {
    auto* row = new QTreeWidgetItem(lvwPrefixes);
    row->setText(NameColumn, prefix.name);
    row->setText(SourceColumn, sourceText(prefix.source));
    row->setText(FolderColumn, prefix.path);
    row->setToolTip(FolderColumn, prefix.path);
    row->setText(EntriesColumn, m_texts.getText(QStringLiteral("PrefixCounting")));
    row->setTextAlignment(EntriesColumn, Qt::AlignRight | Qt::AlignVCenter);
    row->setData(NameColumn, kPathRole, prefix.path);
    row->setData(SourceColumn, kSourceRole, int(prefix.source));
    countInBackground(row);
}

void frmPrefixes::countInBackground(QTreeWidgetItem* row) {
    const QString path = row->data(NameColumn, kPathRole).toString();
    ++m_counting;
    m_counters.start([this, path, makePlatform = m_opener.platform] {
        // A platform of its own: the window's lists its own prefix meanwhile.
        std::optional<PrefixStatus> status;
        try {
            status = prefixStatus(makePlatform(path), LanguageTexts());
        } catch (const std::exception&) {
            // Shown as not counted.
        }
        QMetaObject::invokeMethod(
            this, [this, path, status] { showStatus(path, status); }, Qt::QueuedConnection);
    });
}

void frmPrefixes::showStatus(const QString& path, std::optional<PrefixStatus> status) {
    --m_counting;
    QTreeWidgetItem* row = rowOfPath(path);
    if (!row)
        return;
    row->setText(EntriesColumn, status ? QString::number(status->entries)
                                       : m_texts.getText(QStringLiteral("PrefixNotCounted")));
    row->setText(RunningColumn,
                 status ? m_texts.getText(status->running ? QStringLiteral("Yes") : QStringLiteral("No"))
                        : QString());
}

QTreeWidgetItem* frmPrefixes::rowOfPath(const QString& path) const {
    for (int i = 0; i < lvwPrefixes->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* row = lvwPrefixes->topLevelItem(i);
            !path.isEmpty() && row->data(NameColumn, kPathRole).toString() == path)
            return row;
    return nullptr;
}

void frmPrefixes::chooseSelectedRow() {
    const QTreeWidgetItem* row = lvwPrefixes->currentItem();
    if (!row)
        return;
    const QString path = row->data(NameColumn, kPathRole).toString();
    // Found by its two files only; a prefix may also have been deleted since.
    if (isPrefixOrTell(path))
        choose({row->text(NameColumn), PrefixSource(row->data(SourceColumn, kSourceRole).toInt()), path});
}

bool frmPrefixes::isPrefixOrTell(const QString& folder) {
    if (m_opener.problem(folder).isEmpty())
        return true;
    QString message = m_texts.getText(QStringLiteral("MsgNotAPrefix"));
    message.replace(QStringLiteral("%PATH%"), QDir::toNativeSeparators(folder));
    m_boxes.show(message, QString(), MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

void frmPrefixes::choose(const FoundPrefix& prefix) {
    m_chosen = prefix;
    accept();
}

void frmPrefixes::openFolder() {
    const QString folder = m_pickFolder(this, m_texts.getText(QStringLiteral("PrefixOpenFolderTit")));
    if (folder.isEmpty())
        return;
    if (!isPrefixOrTell(folder))
        return;
    const QString path = QFileInfo(folder).canonicalFilePath();
    if (QTreeWidgetItem* listed = rowOfPath(path)) {
        lvwPrefixes->setCurrentItem(listed);
        chooseSelectedRow();
        return;
    }
    addPrefixFolder(path);
    choose({QFileInfo(path).fileName(), PrefixSource::Added, path});
}

} // namespace sw
