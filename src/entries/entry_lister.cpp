#include "entry_lister.h"

#include "category_counts.h"
#include "check_list.h"
#include "places.h"
#include "platform/platform.h"

#include <QSet>
#include <QTimer>

namespace sw {

namespace {

// A listing stops taking in places at once when it has this many rows; the rest follow from the
// event loop.
constexpr qsizetype kRowsListedAtOnce = 500;

// A row of one listing found again in another: its place and name.
QString identity(const AutostartEntry& row) {
    return row.tag + QLatin1Char('\n') + row.name;
}

} // namespace

EntryLister::EntryLister(const Platform& platform, const LanguageTexts& texts, QObject* parent)
    : QObject(parent), m_context{platform, texts}, m_timer(new QTimer(this)) {
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &EntryLister::listNextPlace);
}

EntryLister::~EntryLister() = default;

void EntryLister::clear() {
    m_timer->stop();
    m_rows.clear();
    m_placesToList.clear();
    m_heldContents.reset();
    m_keptRow.reset();
    m_category.clear();
    emit cleared();
}

void EntryLister::start(const QString& categoryKey) {
    clear();
    m_category = categoryKey;
    m_placesToList = placesOfCategory(categoryKey);
    // The places share their registry files and program folders: each is read once per listing.
    m_heldContents = m_context.platform.holdContents();
    QList<AutostartEntry> rows;
    while (!m_placesToList.isEmpty() && rows.size() < kRowsListedAtOnce)
        rows += listPlace(m_context, *m_placesToList.takeFirst());
    append(std::move(rows));
    if (m_placesToList.isEmpty())
        complete();
    else
        m_timer->start();
}

void EntryLister::listNow(const QString& categoryKey) {
    clear();
    m_category = categoryKey;
    append(listCategory(m_context, categoryKey));
    complete();
}

void EntryLister::listNextPlace() {
    if (!m_placesToList.isEmpty())
        append(listPlace(m_context, *m_placesToList.takeFirst()));
    if (m_placesToList.isEmpty())
        complete();
}

void EntryLister::append(QList<AutostartEntry> rows) {
    if (rows.isEmpty())
        return;
    const qsizetype first = m_rows.size();
    m_rows.append(std::move(rows));
    emit rowsAdded(first, m_rows.size() - first);
    findKeptRow(first);
}

void EntryLister::keepRow(const AutostartEntry& row) {
    m_keptRow = row;
    findKeptRow(0);
    if (!isListing())
        m_keptRow.reset();
}

void EntryLister::findKeptRow(qsizetype from) {
    if (!m_keptRow)
        return;
    for (qsizetype i = from; i < m_rows.size(); ++i) {
        if (m_rows[i].tag == m_keptRow->tag && m_rows[i].name == m_keptRow->name) {
            m_keptRow.reset();
            emit keptRowListed(i);
            return;
        }
    }
}

void EntryLister::complete() {
    m_timer->stop();
    m_keptRow.reset();
    dimAndCount(); // while the listing's contents are still held
    m_heldContents.reset();
    emit listingFinished();
}

void EntryLister::ghostRowsMissingFrom(const QString& checkList) {
    m_checkList = readCheckList(checkList);
    if (!isListing() && !m_category.isEmpty())
        dimAndCount();
}

void EntryLister::dimAndCount() {
    if (!m_checkList && !m_countCategories)
        return;
    // The reference is every place: "ALL" and the services, which only their own node lists.
    const bool listedAll = m_category == QLatin1String("ALL");
    QList<AutostartEntry> allRows = listedAll ? m_rows : listCategory(m_context, QStringLiteral("ALL"));
    if (m_category == QLatin1String("SERVICES"))
        allRows.append(m_rows);
    else
        allRows.append(listCategory(m_context, QStringLiteral("SERVICES")));
    if (m_countCategories)
        m_counts = countRowsByCategory(allRows);
    if (!m_checkList)
        return;
    applyCheckList(*m_checkList, allRows);
    QSet<QString> ghosted;
    for (const AutostartEntry& row : std::as_const(allRows))
        if (row.ghosted)
            ghosted.insert(identity(row));
    for (AutostartEntry& row : m_rows)
        row.ghosted = ghosted.contains(identity(row));
    emit rowsGhosted();
}

} // namespace sw
