// The category tree and the entry list of the main window.
#include "art.h"
#include "entries/check_list.h"
#include "entries/listing.h"
#include "entries/places.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/file_icons.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <utility>

namespace sw {

namespace {

constexpr int kKeyRole = Qt::UserRole;               // tree: the category key
constexpr int kStoredCaptionRole = Qt::UserRole + 1; // tree: the caption as first built
constexpr int kRowRole = Qt::UserRole;               // list: index into the listed rows

// A listing stops taking in places at once when it has this many rows; the rest follow from the
// event loop.
constexpr qsizetype kRowsShownAtOnce = 500;

// Ghosted rows draw their icon dimmed, as the list does for a cut item.
QIcon dimmed(const QIcon& icon) {
    const QPixmap pixmap = icon.pixmap(QSize(16, 16), QIcon::Disabled);
    return QIcon(pixmap);
}

} // namespace

void frmMain::buildCategoryTree() {
    tvwCategories->clear();
    QHash<QString, QTreeWidgetItem*> nodes;
    for (const Category& category : allCategories()) {
        QTreeWidgetItem* parent = nodes.value(category.parentKey);
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvwCategories);
        node->setText(0, m_services->texts.getText(category.captionKey));
        node->setIcon(0, artIcon(category.imageKey));
        node->setData(0, kKeyRole, category.key);
        nodes.insert(category.key, node);
    }
    ExpandAllNodes(tvwCategories->topLevelItem(0), true);
    ExpandAllNodes(tvwCategories->topLevelItem(1), true);
    StoreNodeCaptions(tvwCategories);
    QTreeWidgetItem* all = categoryNode(QStringLiteral("ALL"));
    tvwCategories->setCurrentItem(all);
    tvwCategories_NodeClick(all);
}

void frmMain::ExpandAllNodes(QTreeWidgetItem* node, bool expanded) {
    if (!node)
        return;
    node->setExpanded(expanded);
    for (int i = 0; i < node->childCount(); ++i)
        ExpandAllNodes(node->child(i), expanded);
}

void frmMain::StoreNodeCaptions(QTreeWidget* tree) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        (*it)->setData(0, kStoredCaptionRole, (*it)->text(0));
}

QTreeWidgetItem* frmMain::categoryNode(const QString& key) const {
    for (QTreeWidgetItemIterator it(tvwCategories); *it; ++it)
        if ((*it)->data(0, kKeyRole).toString() == key)
            return *it;
    return nullptr;
}

void frmMain::tvwCategories_NodeClick(QTreeWidgetItem* node) {
    clearRows();
    m_programIcons.clear(); // a new listing reads the programs anew
    if (!node || !m_services)
        return;
    updateReadOnlyState();
    const QString key = node->data(0, kKeyRole).toString();
    if (key == QLatin1String("SERVICES")) {
        m_services->platform.desktop->openServiceConsole();
        return;
    }
    m_placesToList = placesOfCategory(key);
    m_listingNode = node;
    // The places share their registry files and program folders: each is read once per listing.
    m_heldContents = m_services->platform.holdContents();
    QList<AutostartEntry> rows;
    while (!m_placesToList.isEmpty() && rows.size() < kRowsShownAtOnce)
        rows += listPlace({m_services->platform, m_services->texts}, *m_placesToList.takeFirst());
    appendRows(rows);
    if (m_placesToList.isEmpty()) {
        completeListing();
        return;
    }
    if (!m_listingTimer) {
        m_listingTimer = new QTimer(this);
        m_listingTimer->setInterval(0);
        connect(m_listingTimer, &QTimer::timeout, this, &frmMain::listNextPlace);
    }
    m_listingTimer->start();
}

void frmMain::listNextPlace() {
    if (!m_placesToList.isEmpty())
        appendRows(listPlace({m_services->platform, m_services->texts}, *m_placesToList.takeFirst()));
    if (m_placesToList.isEmpty())
        completeListing();
}

void frmMain::finishListing() {
    while (!m_placesToList.isEmpty())
        listNextPlace();
}

void frmMain::clearRows() {
    lvwEntries->clear();
    m_rows.clear();
    m_items.clear();
    m_placesToList.clear();
    m_listingNode = nullptr;
    m_pendingCheckList.clear();
    m_keptRow.reset();
    m_heldContents.reset();
    if (m_listingTimer)
        m_listingTimer->stop();
    if (m_iconTimer)
        m_iconTimer->stop();
}

// Adds rows below those already listed, in the list's order.
void frmMain::appendRows(const QList<AutostartEntry>& rows) {
    if (rows.isEmpty())
        return;
    const QIcon unknown = QIcon(imgTemp->pixmap());
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const AutostartEntry& row : rows) {
        auto* item =
            new QTreeWidgetItem({row.name, row.program, m_services->texts.getText(row.valid ? "Yes" : "No"),
                                 m_services->texts.getText(row.active ? "Yes" : "No"), row.placeLabel});
        item->setIcon(0, row.ghosted ? dimmed(unknown) : unknown);
        item->setTextAlignment(2, Qt::AlignCenter);
        item->setTextAlignment(3, Qt::AlignCenter);
        item->setData(0, kRowRole, int(m_rows.size() + items.size()));
        items.append(item);
    }
    m_rows += rows;
    m_items += items;
    lvwEntries->addTopLevelItems(items);
    if (m_sortColumn >= 0)
        lvwEntries->sortItems(m_sortColumn, m_sortOrder);
    if (m_keptRow)
        selectKeptRow();
}

void frmMain::completeListing() {
    if (m_listingTimer)
        m_listingTimer->stop();
    if (m_listingNode)
        m_listingNode->setText(0, m_listingNode->data(0, kStoredCaptionRole).toString() +
                                      QStringLiteral(" (") +
                                      QString::number(lvwEntries->topLevelItemCount()) + QLatin1Char(')'));
    m_listingNode = nullptr;
    m_heldContents.reset();
    if (!m_pendingCheckList.isEmpty())
        applyCheckListNow(std::exchange(m_pendingCheckList, QString()));
    m_keptRow.reset();
    if (!m_iconTimer) {
        m_iconTimer = new QTimer(this);
        m_iconTimer->setInterval(0);
        connect(m_iconTimer, &QTimer::timeout, this, &frmMain::loadSomeIcons);
    }
    m_nextIconRow = 0;
    m_iconTimer->start();
}

void frmMain::loadSomeIcons() {
    // Short slices: input waits for at most one of them.
    constexpr qint64 kSliceMs = 15;
    QElapsedTimer slice;
    slice.start();
    while (m_nextIconRow < m_rows.size() && slice.elapsed() < kSliceMs) {
        const AutostartEntry& row = m_rows[m_nextIconRow];
        QTreeWidgetItem* item = m_items.value(m_nextIconRow);
        ++m_nextIconRow;
        if (!row.valid || !item)
            continue;
        const QString key = row.programFile.toLower();
        auto it = m_programIcons.constFind(key);
        if (it == m_programIcons.cend())
            it = m_programIcons.insert(key, fileIconOf(m_services->platform, row.programFile, kSmallIcon));
        if (!it->isNull())
            item->setIcon(0, row.ghosted ? dimmed(*it) : *it);
    }
    if (m_nextIconRow >= m_rows.size())
        m_iconTimer->stop();
}

bool frmMain::isLoading() const {
    return (m_listingTimer && m_listingTimer->isActive()) || (m_iconTimer && m_iconTimer->isActive());
}

void frmMain::ghostRowsMissingFrom(const QString& checkList) {
    if (m_listingTimer && m_listingTimer->isActive())
        m_pendingCheckList = checkList;
    else
        applyCheckListNow(checkList);
}

void frmMain::applyCheckListNow(const QString& checkList) {
    QList<AutostartEntry> rows = rowsInListOrder();
    applyCheckList(checkList, rows);
    const QIcon unknown = QIcon(imgTemp->pixmap());
    for (int i = 0; i < lvwEntries->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwEntries->topLevelItem(i);
        AutostartEntry& row = m_rows[item->data(0, kRowRole).toInt()];
        row.ghosted = rows[i].ghosted;
        const QIcon loaded = row.valid ? m_programIcons.value(row.programFile.toLower()) : QIcon();
        const QIcon icon = loaded.isNull() ? unknown : loaded;
        item->setIcon(0, row.ghosted ? dimmed(icon) : icon);
    }
}

// Selects the row that stands for the kept one, once it is listed.
void frmMain::selectKeptRow() {
    for (int i = 0; i < lvwEntries->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwEntries->topLevelItem(i);
        const AutostartEntry* row = rowOf(item);
        if (row && row->tag == m_keptRow->tag && row->name == m_keptRow->name) {
            m_keptRow.reset();
            lvwEntries->setCurrentItem(item);
            lvwEntries->scrollToItem(item);
            return;
        }
    }
}

const AutostartEntry* frmMain::rowOf(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    const int index = item->data(0, kRowRole).toInt();
    return index >= 0 && index < m_rows.size() ? &m_rows[index] : nullptr;
}

QList<AutostartEntry> frmMain::rowsInListOrder() const {
    QList<AutostartEntry> rows;
    for (int i = 0; i < lvwEntries->topLevelItemCount(); ++i)
        if (const AutostartEntry* row = rowOf(lvwEntries->topLevelItem(i)))
            rows.append(*row);
    return rows;
}

void frmMain::lvwEntries_ColumnClick(int column) {
    if (column == m_sortColumn)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_sortOrder = Qt::AscendingOrder;
    m_sortColumn = column;
    lvwEntries->header()->setSortIndicatorShown(true);
    lvwEntries->header()->setSortIndicator(column, m_sortOrder);
    lvwEntries->sortItems(column, m_sortOrder);
}

} // namespace sw
