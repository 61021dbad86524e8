#pragma once

// A window's controls as a test meets them: found by their object names; the main window's entry list
// read through its model.
#include <QAbstractItemView>
#include <QStringList>
#include <QWidget>

namespace sw::test {

// The window's control of that name and type; a missing one ends the test run with its name.
template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

inline QAbstractItemView* entryList(const QWidget& window) {
    return window.findChild<QAbstractItemView*>(QStringLiteral("lvwEntries"));
}

inline int entryCount(const QWidget& window) {
    return entryList(window)->model()->rowCount();
}

// The text a row shows in a column.
inline QString entryText(const QWidget& window, int row, int column = 0) {
    return entryList(window)->model()->index(row, column).data().toString();
}

inline QStringList entryColumn(const QWidget& window, int column) {
    QStringList texts;
    for (int row = 0; row < entryCount(window); ++row)
        texts << entryText(window, row, column);
    return texts;
}

// The first row of that name, or an invalid index.
inline QModelIndex entryNamed(const QWidget& window, const QString& name) {
    const QAbstractItemModel* model = entryList(window)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toString() == name)
            return model->index(row, 0);
    return {};
}

// Makes the row current and selected, as a click does; an invalid index leaves none selected.
inline void selectEntry(const QWidget& window, const QModelIndex& index) {
    entryList(window)->setCurrentIndex(index);
}

inline QModelIndex currentEntry(const QWidget& window) {
    return entryList(window)->currentIndex();
}

} // namespace sw::test
