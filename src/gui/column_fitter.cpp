#include "column_fitter.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

namespace sw {

ColumnFitter::ColumnFitter(QTreeView* view, int stretchColumn)
    : QObject(view), m_view(view), m_stretchColumn(stretchColumn) {
    view->viewport()->installEventFilter(this);
}

void ColumnFitter::fit() {
    const QHeaderView* header = m_view->header();
    // The view's own measure (public through the base), which reads the rows in sight.
    const QAbstractItemView* rows = m_view;
    const int room = m_view->viewport()->width();
    const int columns = header->count();
    // A name or a place longer than this is cut rather than pushing every other column away.
    const int most = std::max(room / 2, m_view->fontMetrics().averageCharWidth() * 40);
    int others = 0;
    for (int column = 0; column < columns; ++column) {
        if (column == m_stretchColumn || header->isSectionHidden(column))
            continue;
        const int caption = header->sectionSizeHint(column);
        const int width = std::max(caption, std::min(rows->sizeHintForColumn(column), most));
        m_view->setColumnWidth(column, width);
        others += width;
    }
    if (m_stretchColumn < 0 || m_stretchColumn >= columns)
        return;
    const int least =
        std::max(header->sectionSizeHint(m_stretchColumn), m_view->fontMetrics().averageCharWidth() * 24);
    const int contents = std::max(rows->sizeHintForColumn(m_stretchColumn), least);
    m_view->setColumnWidth(m_stretchColumn, std::clamp(room - others, least, contents));
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == m_view->viewport())
        fit();
    return QObject::eventFilter(watched, event);
}

} // namespace sw
