#pragma once

#include <Qt>

class QHeaderView;

namespace sw {

// A click on a column's header: the other way round when the list is sorted by that column already,
// else ascending. The header's indicator shows the result and is where it is kept.
Qt::SortOrder sortOrderAfterClick(QHeaderView& header, int column);

} // namespace sw
