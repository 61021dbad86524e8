// Feeds arbitrary bytes to the Valve text reader: it must end with a document or an error, within
// its depth and key limits, whatever the input.
#include "prefixes/vdf_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
int deepest(const std::vector<sw::VdfNode>& keys) {
    int depth = 0;
    for (const sw::VdfNode& node : keys)
        depth = std::max(depth, 1 + deepest(node.children));
    return depth;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const sw::VdfDocument document = sw::readVdf(bytes);
    if (deepest(document.keys) > sw::kMaxVdfDepth)
        std::abort();
    return 0;
}
