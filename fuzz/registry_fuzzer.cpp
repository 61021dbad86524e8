// Feeds arbitrary bytes to the Wine registry reader and writer, all in memory. Beyond "no crash, no
// hang", it checks that escaping and value lines read back as written and that an edit reads back.
#include "platform/registry_store.h"
#include "platform/wine/registry_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace sw::winereg;

namespace {

void fail(int line) {
    std::fprintf(stderr, "registry_fuzzer: check on line %d failed\n", line);
    std::abort();
}
#define check(condition) ((condition) ? void(0) : fail(__LINE__))

// Every string that escapeString writes decodes to itself; every value line parses back.
void checkRoundTrip(const QString& name, std::uint32_t type, const QByteArray& data) {
    for (bool keyName : {false, true}) {
        const QByteArray escaped = escapeString(name, keyName) + (keyName ? "]" : "\"");
        qsizetype pos = 0;
        const auto back = decodeString(escaped, pos, keyName ? ']' : '"');
        check(back && *back == name && pos == escaped.size());
    }
    const QByteArray line = formatValueLine(name, type, data);
    const auto parsed = parseValueLine(line);
    check(parsed && parsed->name == name && parsed->type == type && parsed->data == data);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const QByteArray buffer(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));

    // Reading: every key, every value, as text.
    QString firstPath;
    for (const ParsedKey& key : parseAll(buffer)) {
        if (firstPath.isEmpty() && key.section.valid)
            firstPath = key.section.path;
        for (const ValueEntry& v : key.values) {
            (void)valueText(v.type, v.data);
            checkRoundTrip(v.name, v.type, v.data);
        }
    }
    if (!firstPath.isEmpty()) {
        // found under its own name and under Wine's per-unit lower case
        check(findSection(buffer, firstPath).has_value());
        QString lower = firstPath;
        for (QChar& c : lower)
            c = QChar(QChar::toLower(c.unicode()));
        check(findSection(buffer, lower).has_value());
    }

    // The input as UTF-16 text: escaping round trip for arbitrary units (lone surrogates included).
    QString units;
    for (qsizetype i = 0; i + 1 < buffer.size() && i < 512; i += 2)
        units.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(buffer[i]) |
                                                 (static_cast<unsigned char>(buffer[i + 1]) << 8))));
    checkRoundTrip(units, kRegSz, stringData(units));
    checkRoundTrip(units.left(20), static_cast<std::uint32_t>(size % 12), buffer.left(300));

    // Writing: only on files with Wine's header; the edit must read back and keep the header.
    const QString keyPath = firstPath.isEmpty() ? QStringLiteral("Software\\Fuzz") : firstPath;
    bool changed = false;
    try {
        const QByteArray out = setValue(buffer, keyPath, units.left(8), kRegSz, stringData(units.left(40)),
                                        134409905400941320ull, changed);
        check(hasValidHeader(out));
        const auto section = findSection(out, keyPath);
        check(section.has_value());
        bool found = false;
        for (const ValueEntry& v : parseValues(out, *section))
            if (namesEqual(v.name, units.left(8)))
                found = v.type == kRegSz && v.data == stringData(units.left(40));
        check(found);
        const QByteArray removed = deleteValue(out, keyPath, units.left(8), 134409905400941320ull, changed);
        check(hasValidHeader(removed));
        (void)createKey(removed, keyPath + QStringLiteral("\\Sub"), 134409905400941320ull, changed);
    } catch (const sw::RegistryError&) {
        check(!hasValidHeader(buffer) || splitKeyPath(keyPath).isEmpty());
    }
    return 0;
}
