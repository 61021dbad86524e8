#include "main_window.h"

#include "art.h"
#include "column_fitter.h"
#include "entry_list_model.h"
#include "main_services.h"
#include "rating_strip.h"
#include "read_only_watch.h"
#include "splitter_panel.h"
#include "translate_form.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace sw {

namespace {

struct ToolbarButton {
    const char* key;      // what the toolbar handler dispatches on
    const char* imageKey; // picture
    const char* textKey;  // caption's language key (the design-time text)
    bool checkable;
};

// Left to right; an empty key is a separator, "spacer" the placeholder before the pane buttons.
const ToolbarButton kButtons[] = {
    {"add", "add", "add", false},
    {"edit", "edit", "edit", false},
    {"activate", "activate", "deactivate", false},
    {"delete", "remove", "delete", false},
    {"", "", "", false},
    {"run", "run", "execute", false},
    {"refresh", "refresh", "refresh", false},
    {"send", "send", "report", false},
    {"backups", "backup", "backup", false},
    {"help", "help", "help", false},
    {"spacer", "", "", false},
    {"folderlist", "folderlist", "Dirlist", true},
    {"details", "details", "details", true},
};

// Column captions are the German built-in ones until the window is translated.
struct Column {
    const char* caption;
    const char* key;
    int widthTwips;
    Qt::Alignment alignment;
};
const Column kColumns[] = {
    {"Name", "name", 1600, Qt::AlignLeft},      {"Programm", "program", 5000, Qt::AlignLeft},
    {"Gültig", "Valid", 500, Qt::AlignHCenter}, {"Aktiv", "Active", 500, Qt::AlignHCenter},
    {"Ort", "Place", 2000, Qt::AlignLeft},      {"Start durch Wine", "WineStarts", 1600, Qt::AlignLeft},
};

template <typename T> T* named(T* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setLanguageKey(this, QStringLiteral("MainWinTit"));
    setWindowTitle(QStringLiteral("Tidyra StartWarden"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    setFont(tahoma);

    createToolbar();
    createLists();
    createInformationPanel();

    lblReadOnly = named(new QLabel(this), "lblReadOnly");
    setLanguageKey(lblReadOnly, QStringLiteral("PrefixReadOnly"));
    lblReadOnly->setStyleSheet(QStringLiteral("background: #FFF4C2; color: #5A4500; padding: 3px 8px;"
                                              "border-top: 1px solid #E0C860;"));
    lblReadOnly->setWordWrap(false);
    lblReadOnly->hide();

    placeDesignedControls();
    connectHandlers();
}

void frmMain::connectHandlers() {
    connect(tvwCategories, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { listCategoryOfNode(node); });
    connect(lvwEntries->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmMain::followSelection);
    connect(lvwEntries->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::followSelection);
    // A new listing selects nothing until the row to keep comes in.
    connect(m_model, &QAbstractItemModel::modelReset, this, &frmMain::clearInformation);
    connect(lvwEntries->header(), &QHeaderView::sectionClicked, this, &frmMain::sortListBy);
    connect(lvwLinks, &QListWidget::itemClicked, this, &frmMain::openLink);
    connect(SplitterPanel1, &SplitterPanel::LayoutChanged, this, &frmMain::splitterPanel1LayoutChanged);
    connect(SplitterPanel2, &SplitterPanel::LayoutChanged, this, &frmMain::splitterPanel2LayoutChanged);
    connect(this, &frmMain::toolbarButtonClicked, this, &frmMain::runCommand);
    // Wine started or ended while the window is open shows at once.
    auto* wine = new ReadOnlyWatch(
        [this] { return m_services ? m_services->platform.readOnlyReason() : QString(); }, this);
    connect(wine, &ReadOnlyWatch::changed, this, &frmMain::updateReadOnlyState);
    createCommandKeys();
}

void frmMain::createToolbar() {
    tlbMain = named(new QToolBar(this), "tlbMain");
    tlbMain->setOrientation(Qt::Vertical);
    tlbMain->setIconSize(QSize(32, 32));
    // Twelve captioned buttons do not fit the window's height; captions show as tool tips.
    tlbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolbarButton& button : kButtons) {
        const QString key = QLatin1String(button.key);
        if (key.isEmpty()) {
            tlbMain->addSeparator();
            continue;
        }
        if (key == QLatin1String("spacer")) {
            auto* spacer = named(new QWidget(tlbMain), "tlbSpacer");
            spacer->setFixedHeight(33); // 500 twips at 96 dpi
            tlbMain->addWidget(spacer);
            continue;
        }
        QAction* action =
            tlbMain->addAction(artIcon(QLatin1String(button.imageKey)), QLatin1String(button.textKey));
        action->setObjectName(key);
        setLanguageKey(action, QLatin1String(button.textKey));
        action->setProperty(kToolTipKeyProperty, QLatin1String(button.textKey) + QLatin1String("Tip"));
        action->setCheckable(button.checkable);
        action->setChecked(button.checkable);
        connect(action, &QAction::triggered, this, [this, key] { emit toolbarButtonClicked(key); });
        m_buttons.insert(key, action);
    }
}

void frmMain::createLists() {
    SplitterPanel1 = named(new SplitterPanel(this), "SplitterPanel1");
    SplitterPanel1->setHorizontal(true);
    SplitterPanel1->setMinPanelSize(2200);
    SplitterPanel1->setSnapToEdge(true);
    SplitterPanel1->setPosition(2500);
    SplitterPanel2 = named(new SplitterPanel(SplitterPanel1), "SplitterPanel2");
    SplitterPanel2->setMinPanelSize(2600);
    SplitterPanel2->setSnapToEdge(true);
    // No stored position: it starts at its minimum panel size.
    SplitterPanel2->setPosition(2600);

    tvwCategories = named(new QTreeWidget(SplitterPanel2), "tvwCategories");
    tvwCategories->setHeaderHidden(true);
    // Long captions scroll rather than being cut short.
    tvwCategories->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvwCategories->header()->setStretchLastSection(false);
    tvwCategories->setIconSize(QSize(16, 16));
    tvwCategories->setProperty(kAccessibleNameKeyProperty, QStringLiteral("Dirlist"));
    tvwCategories->setProperty(kColumnKeysProperty, QStringList{QStringLiteral("Dirlist")});

    lvwEntries = named(new QTreeView(SplitterPanel2), "lvwEntries");
    m_model = new EntryListModel(this);
    m_model->setUnknownIcon(QIcon(artPixmap(QStringLiteral("unknow"), QSize(16, 16))));
    lvwEntries->setModel(m_model);
    lvwEntries->setProperty(kAccessibleNameKeyProperty, QStringLiteral("EntryListName"));
    lvwEntries->setRootIsDecorated(false);
    lvwEntries->setUniformRowHeights(true);
    lvwEntries->setIconSize(QSize(16, 16));
    lvwEntries->setAllColumnsShowFocus(true);
    lvwEntries->setSortingEnabled(false);
    lvwEntries->header()->setSectionsClickable(true);
    QFont listFont = lvwEntries->font();
    listFont.setPointSizeF(9);
    lvwEntries->setFont(listFont);
    static_assert(std::size(kColumns) == EntryListModel::kColumnCount);
    QStringList keys;
    for (int column = 0; column < int(std::size(kColumns)); ++column) {
        const Column& design = kColumns[column];
        m_model->setHeaderData(column, Qt::Horizontal, QString::fromUtf8(design.caption));
        m_model->setHeaderData(column, Qt::Horizontal, int(design.alignment | Qt::AlignVCenter),
                               Qt::TextAlignmentRole);
        lvwEntries->setColumnWidth(column, toPixelsX(design.widthTwips));
        keys << QLatin1String(design.key);
    }
    lvwEntries->setProperty(kColumnKeysProperty, keys);
    m_columns = new ColumnFitter(lvwEntries, 1); // the program line gives way first
}

void frmMain::createInformationPanel() {
    fraInformation = named(new QFrame(SplitterPanel1), "fraInformation");
    fraInformation->setFrameShape(QFrame::NoFrame);
    fraInformation->setAutoFillBackground(true);

    imgInfos = named(new RatingStrip(fraInformation), "imgInfos");
    imgInfos->setArtKey(QStringLiteral("NORMAL"));
    picIcon = named(new QLabel(fraInformation), "picIcon");
    lblTitle = named(new QLabel(fraInformation), "lblTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblCompany = named(new QLabel(fraInformation), "lblCompany");
    linSeparator = named(new QFrame(fraInformation), "linSeparator");
    linSeparator->setFrameShape(QFrame::HLine);
    linSeparator->setStyleSheet(QStringLiteral("color: #E0E0E0"));

    txtInfo = named(new QPlainTextEdit(fraInformation), "txtInfo");
    txtInfo->setReadOnly(true);
    txtInfo->setProperty(kAccessibleNameKeyProperty, QStringLiteral("InfoTextName"));
    QFont infoFont = txtInfo->font();
    infoFont.setPointSizeF(9);
    txtInfo->setFont(infoFont);

    fraLink = named(new QFrame(fraInformation), "fraLink");
    fraLink->setFrameShape(QFrame::NoFrame);
    imgWeblink = named(new QLabel(fraLink), "imgWeblink");
    imgWeblink->setPixmap(artPixmap(QStringLiteral("weblink"), QSize(16, 16)));

    lvwLinks = named(new QListWidget(fraInformation), "lvwLinks");
    lvwLinks->setViewMode(QListView::ListMode);
    lvwLinks->setProperty(kAccessibleNameKeyProperty, QStringLiteral("LinksName"));
    lvwLinks->setIconSize(QSize(16, 16));
    QPalette linkPalette = lvwLinks->palette();
    linkPalette.setColor(QPalette::Text, QColor(0x00, 0x00, 0xC0));
    lvwLinks->setPalette(linkPalette);

    imgBackground = named(new QLabel(fraInformation), "imgBackground");
    imgBackground->setPixmap(artPixmap(QStringLiteral("background"), QSize(160, 80)));
    imgBackground->lower();
}

void frmMain::updateReadOnlyState() {
    const QString reason = m_services ? m_services->platform.readOnlyReason() : QString();
    lblReadOnly->setToolTip(reason);
    const bool shownBefore = lblReadOnly->isVisibleTo(this);
    lblReadOnly->setVisible(!reason.isEmpty());
    applyWriteButtons();
    // The banner takes its own line below the panels.
    if (shownBefore != !reason.isEmpty())
        resizeControls();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Wine may have started or ended while the user was elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        updateReadOnlyState();
}

} // namespace sw
