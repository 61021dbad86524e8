#pragma once

#include <QString>

class QWidget;

namespace sw {

// Gives the window the program's icon of that name from the program's own resources.
void applyWindowIcon(QWidget* window, const QString& resourceName);

} // namespace sw
