// PlayOnLinux keeps one prefix per program in ~/.PlayOnLinux/wineprefix, named as its folder.
#include "prefix_collector.h"
#include "prefix_readers.h"

namespace sw {

void findPlayOnLinuxPrefixes(PrefixCollector& found) {
    found.addChildren(found.homePath(QStringLiteral(".PlayOnLinux/wineprefix")), PrefixSource::PlayOnLinux);
}

} // namespace sw
