// CrossOver keeps each bottle in ~/.cxoffice, named as its folder.
#include "prefix_collector.h"
#include "prefix_readers.h"

namespace sw {

void findCrossOverPrefixes(PrefixCollector& found) {
    found.addChildren(found.homePath(QStringLiteral(".cxoffice")), PrefixSource::CrossOver);
}

} // namespace sw
