// The category tree and the entry list of the main window.
#include "add_edit_dialog.h"
#include "column_fitter.h"
#include "entries/entry_lister.h"
#include "entries/places.h"
#include "entry_list_model.h"
#include "header_sort.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/desktop_services.h"
#include "platform/language_texts.h"
#include "platform/platform.h"
#include "tree_nodes.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTreeView>
#include <QTreeWidget>

namespace sw {

namespace {

constexpr int kStoredCaptionRole = kCategoryKeyRole + 1; // tree: the caption as first built

} // namespace

void frmMain::buildCategoryTree() {
    // Listed once, below, not for every node that becomes current meanwhile.
    const QSignalBlocker building(tvwCategories);
    tvwCategories->clear();
    buildCategoryNodes(tvwCategories, m_services->texts);
    expandAllNodes(tvwCategories->topLevelItem(0), true);
    expandAllNodes(tvwCategories->topLevelItem(1), true);
    storeNodeCaptions(tvwCategories);
    fitCategoryPane();
    QTreeWidgetItem* all = categoryNode(QStringLiteral("ALL"));
    tvwCategories->setCurrentItem(all);
    listCategoryOfNode(all);
}

void frmMain::storeNodeCaptions(QTreeWidget* tree) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        (*it)->setData(0, kStoredCaptionRole, (*it)->text(0));
}

QString frmMain::categoryCaption(const QString& key) const {
    const QTreeWidgetItem* node = categoryNode(key);
    return node ? node->text(0) : QString();
}

QTreeWidgetItem* frmMain::categoryNode(const QString& key) const {
    return findCategoryNode(tvwCategories, key);
}

void frmMain::setServices(MainServices* services) {
    m_services = services;
    // The dialog holds parts of the old services' platform; the next use makes it anew.
    delete m_addEdit;
    m_addEdit = nullptr;
    // The model lets go of the old lister before it goes.
    m_model->attach(nullptr, nullptr, nullptr);
    delete m_lister;
    m_lister = nullptr;
    if (services) {
        m_lister = new EntryLister(services->platform, services->texts, this);
        m_lister->countCategories();
        connect(m_lister, &EntryLister::keptRowListed, this, &frmMain::selectListedRow);
        connect(m_lister, &EntryLister::listingFinished, this, &frmMain::showListedCount);
        connect(m_lister, &EntryLister::listingFinished, m_columns, &ColumnFitter::fit);
    }
    m_model->attach(m_lister, services ? &services->platform : nullptr,
                    services ? &services->texts : nullptr);
}

void frmMain::listCategoryOfNode(QTreeWidgetItem* node) {
    if (!m_lister)
        return;
    m_lister->clear();
    if (!node)
        return;
    updateReadOnlyState();
    const QString key = node->data(0, kCategoryKeyRole).toString();
    m_lister->start(key);
}

void frmMain::listCategory(const QString& key) {
    QTreeWidgetItem* node = categoryNode(key);
    {
        const QSignalBlocker listedBelow(tvwCategories);
        tvwCategories->setCurrentItem(node);
    }
    listCategoryOfNode(node);
}

void frmMain::showListedCount() {
    // Every node counts its rows as they are now, the listed category's and all others.
    const QHash<QString, qsizetype>& counts = m_lister->categoryCounts();
    for (QTreeWidgetItemIterator it(tvwCategories); *it; ++it) {
        const auto count = counts.constFind((*it)->data(0, kCategoryKeyRole).toString());
        if (count != counts.cend())
            (*it)->setText(0, (*it)->data(0, kStoredCaptionRole).toString() + QStringLiteral(" (") +
                                  QString::number(*count) + QLatin1Char(')'));
    }
}

bool frmMain::isLoading() const {
    return (m_lister && m_lister->isListing()) || m_model->isLoadingIcons();
}

void frmMain::ghostRowsMissingFrom(const QString& checkList) {
    if (m_lister)
        m_lister->ghostRowsMissingFrom(checkList);
}

void frmMain::selectListedRow(qsizetype row) {
    const QModelIndex index = m_model->indexOfRow(row);
    lvwEntries->setCurrentIndex(index);
    lvwEntries->scrollTo(index);
}

QList<AutostartEntry> frmMain::rowsInListOrder() const {
    return m_model->rowsInViewOrder();
}

void frmMain::sortListBy(int column) {
    m_model->sort(column, sortOrderAfterClick(*lvwEntries->header(), column));
}

} // namespace sw
