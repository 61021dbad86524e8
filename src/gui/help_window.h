#pragma once

#include <QString>

class QWidget;

namespace sw {

class DesktopServices;

// Shows the help page in the program's own help window ("frmHelp", its browser "txtHelp"), scrolled to
// the section with the id `section` when one is given. One help window at a time: it belongs to the
// window that asked (so that it answers beside a modal dialog) and moves to the next one that asks.
// Links out of the help folder go to the desktop; nothing happens without a help file.
void showHelpWindow(QWidget* caller, const QString& helpFile, DesktopServices& desktop,
                    const QString& section = {});

} // namespace sw
