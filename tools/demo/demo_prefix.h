#pragma once

#include <QString>
#include <stdexcept>

namespace sw::demo {

class DemoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the demo prefix that sourceFolder describes (registry/system.reg and registry/user.reg,
// programs.txt, entries.txt) into prefixFolder, through the same writers the program uses. The
// folder is emptied first, so every run starts from scratch; a folder that holds files but no
// system.reg is refused rather than emptied. Throws DemoError, naming the file and line at fault.
void makeDemoPrefix(const QString& sourceFolder, const QString& prefixFolder);

} // namespace sw::demo
