#include "entry_list_model.h"

#include "entries/entry_lister.h"
#include "entries/wine_starts.h"
#include "platform/file_icons.h"
#include "platform/language_texts.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPalette>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace sw {

namespace {

// Ghosted rows draw their icon dimmed, as the list does for a cut item.
QIcon dimmed(const QIcon& icon) {
    return QIcon(icon.pixmap(QSize(16, 16), QIcon::Disabled));
}

} // namespace

EntryListModel::EntryListModel(QObject* parent)
    : QAbstractTableModel(parent), m_captions(kColumnCount), m_captionAlignments(kColumnCount),
      m_iconTimer(new QTimer(this)) {
    m_iconTimer->setInterval(0);
    connect(m_iconTimer, &QTimer::timeout, this, &EntryListModel::loadSomeIcons);
}

void EntryListModel::attach(const EntryLister* lister, const Platform* platform, const LanguageTexts* texts) {
    beginResetModel();
    if (m_lister)
        disconnect(m_lister, nullptr, this, nullptr);
    m_lister = lister;
    m_platform = platform;
    m_texts = texts;
    m_order.clear();
    m_programIcons.clear();
    m_iconTimer->stop();
    if (m_lister) {
        for (qsizetype i = 0; i < m_lister->rows().size(); ++i)
            m_order.append(i);
        connect(m_lister, &EntryLister::cleared, this, &EntryListModel::reset);
        connect(m_lister, &EntryLister::rowsAdded, this, &EntryListModel::insertRows);
        connect(m_lister, &EntryLister::rowsGhosted, this, &EntryListModel::ghostsChanged);
        connect(m_lister, &EntryLister::listingFinished, this, [this] {
            m_nextIconRow = 0;
            m_iconTimer->start();
        });
    }
    endResetModel();
}

void EntryListModel::setUnknownIcon(const QIcon& icon) {
    m_unknown = icon;
    m_unknownDimmed = dimmed(icon);
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString EntryListModel::shownText(const AutostartEntry& row, int column) const {
    switch (column) {
    case 0:
        return row.name;
    case 1:
        return row.program;
    case 2:
        return m_texts->getText(row.valid ? "Yes" : "No");
    case 3:
        return m_texts->getText(row.active ? "Yes" : "No");
    case 4:
        return row.placeLabel;
    default:
        return m_texts->getText(wineStartTextKey(wineStartOfRow(row)) + QStringLiteral("Short"));
    }
}

QIcon EntryListModel::iconOf(qsizetype index) const {
    const AutostartEntry& row = m_lister->rows()[index];
    if (index < m_nextIconRow && row.valid) {
        const auto it = m_programIcons.constFind(row.programFile.toLower());
        if (it != m_programIcons.cend() && !it->normal.isNull())
            return row.ghosted ? it->dimmed : it->normal;
    }
    return row.ghosted ? m_unknownDimmed : m_unknown;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_order.size())
        return {};
    const qsizetype listed = m_order[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return shownText(m_lister->rows()[listed], index.column());
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(iconOf(listed)) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == 2 || index.column() == 3 ? QVariant(int(Qt::AlignCenter)) : QVariant();
    case Qt::ForegroundRole:
        // A new entry is dimmed across the whole row: its icon alone may be a blank page.
        return m_lister->rows()[listed].ghosted
                   ? QVariant(QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text))
                   : QVariant();
    default:
        return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return m_captions[section];
    if (role == Qt::TextAlignmentRole)
        return int(m_captionAlignments[section]);
    return {};
}

bool EntryListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                   int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return false;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        m_captions[section] = value.toString();
    else if (role == Qt::TextAlignmentRole)
        m_captionAlignments[section] = Qt::Alignment(value.toInt());
    else
        return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}

void EntryListModel::reset() {
    beginResetModel();
    m_order.clear();
    m_programIcons.clear(); // a new listing reads the programs anew
    m_iconTimer->stop();
    m_nextIconRow = 0;
    endResetModel();
}

void EntryListModel::insertRows(qsizetype first, qsizetype count) {
    if (count <= 0)
        return;
    beginInsertRows({}, int(m_order.size()), int(m_order.size() + count - 1));
    for (qsizetype i = first; i < first + count; ++i)
        m_order.append(i);
    endInsertRows();
    if (m_sortColumn >= 0)
        sort(m_sortColumn, m_sortOrder);
}

void EntryListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    if (m_order.size() < 2 || !m_lister)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<qsizetype> listedBefore;
    listedBefore.reserve(before.size());
    for (const QModelIndex& index : before)
        listedBefore.append(m_order[index.row()]);
    sortNow();
    std::vector<int> viewRow(static_cast<std::size_t>(m_lister->rows().size()));
    for (qsizetype i = 0; i < m_order.size(); ++i)
        viewRow[static_cast<std::size_t>(m_order[i])] = int(i);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(viewRow[static_cast<std::size_t>(listedBefore[i])], before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryListModel::sortNow() {
    const QList<AutostartEntry>& rows = m_lister->rows();
    std::vector<QString> keys(static_cast<std::size_t>(rows.size()));
    for (const qsizetype listed : m_order)
        keys[static_cast<std::size_t>(listed)] = shownText(rows[listed], m_sortColumn);
    const auto key = [&](qsizetype listed) -> const QString& {
        return keys[static_cast<std::size_t>(listed)];
    };
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](qsizetype a, qsizetype b) { return key(a) < key(b); });
    else
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](qsizetype a, qsizetype b) { return key(b) < key(a); });
}

const AutostartEntry* EntryListModel::rowAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.row() >= m_order.size())
        return nullptr;
    return &m_lister->rows()[m_order[index.row()]];
}

QModelIndex EntryListModel::indexOfRow(qsizetype row) const {
    const qsizetype at = m_order.indexOf(row);
    return at < 0 ? QModelIndex() : index(int(at), 0);
}

QList<AutostartEntry> EntryListModel::rowsInViewOrder() const {
    QList<AutostartEntry> rows;
    rows.reserve(m_order.size());
    for (const qsizetype listed : m_order)
        rows.append(m_lister->rows()[listed]);
    return rows;
}

bool EntryListModel::isLoadingIcons() const {
    return m_iconTimer->isActive();
}

void EntryListModel::loadSomeIcons() {
    // Short slices: input waits for at most one of them.
    constexpr qint64 kSliceMs = 15;
    QElapsedTimer slice;
    slice.start();
    const QList<AutostartEntry>& rows = m_lister->rows();
    while (m_nextIconRow < rows.size() && slice.elapsed() < kSliceMs) {
        const AutostartEntry& row = rows[m_nextIconRow++];
        if (!row.valid)
            continue;
        const QString key = row.programFile.toLower();
        if (m_programIcons.contains(key))
            continue;
        const QIcon icon = fileIconOf(*m_platform, row.programFile, kSmallIcon);
        m_programIcons.insert(key, {icon, icon.isNull() ? QIcon() : dimmed(icon)});
    }
    if (m_nextIconRow >= rows.size())
        m_iconTimer->stop();
    iconsChanged();
}

void EntryListModel::iconsChanged() {
    if (!m_order.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_order.size()) - 1, 0), {Qt::DecorationRole});
}

void EntryListModel::ghostsChanged() {
    if (!m_order.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_order.size()) - 1, kColumnCount - 1),
                         {Qt::DecorationRole, Qt::ForegroundRole});
}

} // namespace sw
