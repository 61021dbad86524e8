#pragma once

namespace sw {

class PrefixCollector;

// One reader per launcher, each in its own file; each looks below the collector's home only and
// turns what it cannot read into notes.
void findSteamPrefixes(PrefixCollector& found);
void findLutrisPrefixes(PrefixCollector& found);
void findBottlesPrefixes(PrefixCollector& found);
void findHeroicPrefixes(PrefixCollector& found);
void findPlayOnLinuxPrefixes(PrefixCollector& found);
void findCrossOverPrefixes(PrefixCollector& found);

} // namespace sw
