#pragma once

#include "prefix_opener.h"
#include "prefixes/found_prefix.h"

namespace sw {

class frmMain;
class frmPrefixes;
struct MainServices;

// The window's way to other prefixes: a toolbar button and Ctrl+O open the chooser.
void addPrefixChooserButton(frmMain& window, MainServices& services, const PrefixOpener& opener);

// Opens the chooser over the window, which waits for it; a chosen prefix is listed at once.
// Without a prefix in the window, closing the chooser closes the window.
frmPrefixes* openPrefixChooser(frmMain& window, MainServices& services, const PrefixOpener& opener);

// Lists prefix in the window. The check list of the prefix shown so far is written first, as at
// exit; the prefix is remembered as the one used last.
void switchPrefix(frmMain& window, MainServices& services, const PrefixOpener& opener,
                  const FoundPrefix& prefix);

} // namespace sw
