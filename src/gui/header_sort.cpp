#include "header_sort.h"

#include <QHeaderView>

namespace sw {

Qt::SortOrder sortOrderAfterClick(QHeaderView& header, int column) {
    const bool sortedByIt = header.isSortIndicatorShown() && header.sortIndicatorSection() == column;
    const Qt::SortOrder order = sortedByIt && header.sortIndicatorOrder() == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    header.setSortIndicatorShown(true);
    header.setSortIndicator(column, order);
    return order;
}

} // namespace sw
