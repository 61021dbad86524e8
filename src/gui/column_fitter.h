#pragma once

#include <QObject>

class QTreeView;

namespace sw {

// Keeps a list's columns as wide as their captions and contents, each up to a share of the list's
// width, and gives the stretching column the room that is left (at least its caption and a few
// words, at most its contents): a long program line gives way before a name or a place is cut.
// Fits again whenever the list's visible width changes and when fit() is called (a listing ended).
class ColumnFitter : public QObject {
public:
    ColumnFitter(QTreeView* view, int stretchColumn);

    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeView* m_view;
    int m_stretchColumn;
};

} // namespace sw
