#include "prefix_status.h"

#include "entries/entry_lister.h"
#include "platform/platform.h"

namespace sw {

PrefixStatus prefixStatus(const Platform& platform, const LanguageTexts& texts) {
    EntryLister lister(platform, texts);
    lister.listNow(QStringLiteral("ALL"));
    return {static_cast<int>(lister.rows().size()), !platform.readOnlyReason().isEmpty()};
}

} // namespace sw
