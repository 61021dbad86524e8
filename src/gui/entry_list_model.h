#pragma once

#include "entries/autostart_entry.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

class QTimer;

namespace sw {

class EntryLister;
class LanguageTexts;
struct Platform;

// The entry list's columns over a lister's rows: name, program, valid, active, place, when Wine
// starts it. Sorting
// reorders the view's rows only; the lister keeps the listed order. Program icons come in after a
// listing, a slice at a time, so that the window answers meanwhile.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 6;

    explicit EntryListModel(QObject* parent = nullptr);

    // Shows the lister's rows from now on; none of the three is owned.
    void attach(const EntryLister* lister, const Platform* platform, const LanguageTexts* texts);
    // What a row shows until its program's icon is in, or when it has none.
    void setUnknownIcon(const QIcon& icon);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    // Stable, by the shown text, as the list always sorted: rows of equal text keep their order.
    void sort(int column, Qt::SortOrder order) override;

    // The row a view index shows, or nullptr.
    const AutostartEntry* rowAt(const QModelIndex& index) const;
    // The view index of the lister's row.
    QModelIndex indexOfRow(qsizetype row) const;
    // The rows in the order the view shows them.
    QList<AutostartEntry> rowsInViewOrder() const;
    // Icons of the last listing are still coming in.
    bool isLoadingIcons() const;

private:
    QString shownText(const AutostartEntry& row, int column) const;
    QIcon iconOf(qsizetype row) const;
    void reset();
    void insertRows(qsizetype first, qsizetype count);
    void sortNow();
    void loadSomeIcons();
    void iconsChanged();
    void ghostsChanged();

    const EntryLister* m_lister = nullptr;
    const Platform* m_platform = nullptr;
    const LanguageTexts* m_texts = nullptr;
    QList<qsizetype> m_order; // the lister's row at each view row
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QStringList m_captions;
    QList<Qt::Alignment> m_captionAlignments;
    QIcon m_unknown;
    QIcon m_unknownDimmed;
    QTimer* m_iconTimer = nullptr;
    qsizetype m_nextIconRow = 0;
    struct ProgramIcon {
        QIcon normal;
        QIcon dimmed;
    };
    QHash<QString, ProgramIcon> m_programIcons; // by lower-cased program file, for one listing
};

} // namespace sw
