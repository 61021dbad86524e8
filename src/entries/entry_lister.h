#pragma once

#include "autostart_entry.h"
#include "listing.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTimer;

namespace sw {

struct Place;

// Lists a category into rows that views and writers share. A few hundred rows come at once; the
// places of a longer listing follow one per turn of the event loop, so that a window answers
// meanwhile. The registry and files are taken as unchanged until the listing ends.
class EntryLister : public QObject {
    Q_OBJECT
public:
    EntryLister(const Platform& platform, const LanguageTexts& texts, QObject* parent = nullptr);
    ~EntryLister() override;

    // Starts listing a category; unknown keys list none.
    void start(const QString& categoryKey);
    // Lists a whole category at once, its places read side by side.
    void listNow(const QString& categoryKey);
    void clear();

    // Places are still to be listed.
    bool isListing() const { return !m_placesToList.isEmpty(); }
    // The rows in the order they were listed.
    const QList<AutostartEntry>& rows() const { return m_rows; }

    // Reports the row that stands for row (same tag and name) through keptRowListed once it is listed;
    // forgotten when the listing ends without it.
    void keepRow(const AutostartEntry& row);
    // Reads the check list once and, from now on, dims the rows of every complete listing that it
    // does not name: what is new since the list was written stays new however often the rows are
    // listed again. A category's rows are dimmed as they are among the rows of every place. No file,
    // no dimming.
    void ghostRowsMissingFrom(const QString& checkList);
    // From now on every complete listing also counts the rows of each category (categoryCounts).
    void countCategories() { m_countCategories = true; }
    // The row count of each category that lists places, as of the last complete listing.
    const QHash<QString, qsizetype>& categoryCounts() const { return m_counts; }
    // From here on the listing reads the registry and files anew (they are about to change).
    void releaseContents() { m_heldContents.reset(); }

signals:
    void cleared();
    void rowsAdded(qsizetype first, qsizetype count);
    void keptRowListed(qsizetype row);
    void rowsGhosted();
    void listingFinished();

private:
    void listNextPlace();
    void append(QList<AutostartEntry> rows);
    void findKeptRow(qsizetype from);
    void complete();
    // Dims and counts from the rows of every place ("ALL" and "SERVICES"), listing again those that
    // are not the rows at hand.
    void dimAndCount();

    ListingContext m_context;
    QList<AutostartEntry> m_rows;
    QList<const Place*> m_placesToList;
    std::shared_ptr<void> m_heldContents;
    std::optional<AutostartEntry> m_keptRow;
    QString m_category;
    std::optional<QStringList> m_checkList;
    bool m_countCategories = false;
    QHash<QString, qsizetype> m_counts;
    QTimer* m_timer = nullptr;
};

} // namespace sw
