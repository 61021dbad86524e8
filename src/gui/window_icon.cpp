#include "window_icon.h"

#include "art.h"

#include <QGuiApplication>
#include <QWidget>

namespace sw {

void applyWindowIcon(QWidget* window, const QString& resourceName) {
    const QIcon icon = artIcon(resourceName);
    window->setWindowIcon(icon);
    // The taskbar and window switchers take the application's icon.
    QGuiApplication::setWindowIcon(icon);
}

} // namespace sw
