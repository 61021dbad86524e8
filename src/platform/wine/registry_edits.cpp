// Writing a registry file buffer: value lines, key times and edit plans that touch one key's lines.

#include "platform/wine/registry_text.h"

#include "platform/registry_store.h"
#include "platform/wine/registry_text_internal.h"

#include <QDateTime>
#include <algorithm>

namespace sw::winereg {

using namespace detail;

namespace {

using Edit = Splice;

// Checks the header and gives the plan its base: the buffer, or a copy with a final newline added.
EditPlan startPlan(QByteArrayView buffer) {
    if (!hasValidHeader(buffer))
        throw RegistryError(
            "The registry file does not start with \"WINE REGISTRY Version 2\"; it is not changed.");
    EditPlan plan(buffer);
    if (!buffer.endsWith('\n'))
        plan.setStorage(buffer.toByteArray() + '\n');
    return plan;
}

QByteArray keyHeaderLine(QByteArrayView buffer, const KeySection& section, std::uint64_t filetime) {
    QByteArray line = buffer.sliced(section.begin, section.rawPathEnd + 1 - section.begin).toByteArray();
    line += ' ';
    line += formatSectionSeconds(filetime);
    line += '\n';
    return line;
}

QByteArray timeLine(std::uint64_t filetime) {
    return "#time=" + QByteArray::number(static_cast<quint32>(filetime >> 32), 16) +
           QByteArray::number(static_cast<quint32>(filetime & 0xffffffffu), 16).rightJustified(8, '0') + '\n';
}

// Edits that give an existing section fresh "[...] seconds" and "#time=" lines.
void touchSection(QByteArrayView buffer, const KeySection& section, std::uint64_t filetime,
                  QList<Edit>& edits, qsizetype& optionsEnd) {
    edits.append({section.begin, section.headerEnd, keyHeaderLine(buffer, section, filetime), 0});
    optionsEnd = section.headerEnd;
    bool timeFound = false;
    qsizetype pos = section.headerEnd;
    bool inOptions = true;
    while (pos < section.end) {
        const qsizetype stop = std::min(lineEnd(buffer, pos), section.end);
        const qsizetype next = stop < section.end ? stop + 1 : stop;
        qsizetype p = pos;
        while (p < stop && isBlank(buffer[p]))
            ++p;
        const bool option = p < stop && buffer[p] == '#';
        if (option && !timeFound && buffer.sliced(p, stop - p).startsWith("#time=")) {
            edits.append({pos, next, timeLine(filetime), 1});
            timeFound = true;
        }
        if (inOptions && option)
            optionsEnd = next;
        else
            inOptions = false;
        pos = next;
    }
    if (!timeFound)
        edits.append({section.headerEnd, section.headerEnd, timeLine(filetime), 1});
}

QByteArray newSectionText(const QStringList& components, std::uint64_t filetime,
                          const QByteArray& valueLines) {
    QByteArray text = "[";
    for (qsizetype i = 0; i < components.size(); ++i) {
        if (i)
            text += "\\\\";
        text += escapeString(components[i], true);
    }
    text += "] " + formatSectionSeconds(filetime) + '\n' + timeLine(filetime) + valueLines;
    return text;
}

// Inserts a new section for a missing key (with optional value lines).
void insertSection(EditPlan& plan, const QStringList& components, std::uint64_t filetime,
                   const QByteArray& valueLines) {
    const QByteArrayView buffer = plan.base();
    const KeySearch search = searchKey(buffer, components);
    QStringList spelled = search.spelling;
    for (qsizetype i = spelled.size(); i < components.size(); ++i)
        spelled.append(components[i]);
    const QByteArray section = newSectionText(spelled, filetime, valueLines);
    if (search.insertPos >= 0)
        plan.add({search.insertPos, search.insertPos, section + '\n', 0});
    else
        plan.add({buffer.size(), buffer.size(), '\n' + section, 0});
}

} // namespace

// --- Writing -------------------------------------------------------------------------------------------

QByteArray formatValueLine(QStringView name, std::uint32_t type, const QByteArray& data) {
    QByteArray line;
    int count = 0;
    if (!name.isEmpty()) {
        const QByteArray escaped = escapeString(name, false);
        line = '"' + escaped + "\"=";
        count = static_cast<int>(escaped.size()) + 3;
    } else {
        line = "@=";
        count = 2;
    }
    switch (type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz:
        if (data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == 0 &&
            data[data.size() - 2] == 0) {
            if (type != kRegSz)
                line += "str(" + QByteArray::number(type, 16) + "):";
            const QString text = utf16Text(data.first(data.size() - 2));
            line += '"' + escapeString(text, false) + "\"\n";
            return line;
        }
        break;
    case kRegDword:
        if (data.size() == 4) {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i)
                v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
            line += "dword:" + QByteArray::number(v, 16).rightJustified(8, '0') + '\n';
            return line;
        }
        break;
    default:
        break;
    }
    const QByteArray prefix =
        type == kRegBinary ? QByteArray("hex:") : "hex(" + QByteArray::number(type, 16) + "):";
    line += prefix;
    count += static_cast<int>(prefix.size());
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        line += digits[b >> 4];
        line += digits[b & 15];
        count += 2;
        if (i < data.size() - 1) {
            line += ',';
            if (++count > 76) {
                line += "\\\n  ";
                count = 2;
            }
        }
    }
    line += '\n';
    return line;
}

std::uint64_t currentFileTime() {
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    return static_cast<std::uint64_t>(ms) * 10000u + 116444736000000000ull;
}

QByteArray formatSectionSeconds(std::uint64_t filetime) {
    const std::uint64_t seconds = (filetime - 116444736000000000ull) / 10000000u;
    return QByteArray::number(static_cast<quint32>(seconds));
}

QByteArray formatKeyTime(std::uint64_t filetime) {
    return timeLine(filetime);
}

// --- Plans ---------------------------------------------------------------------------------------------

QList<const Splice*> EditPlan::sortedSplices() const {
    QList<const Splice*> sorted;
    for (const Splice& e : m_splices)
        sorted.append(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Splice* a, const Splice* b) {
        if (a->begin != b->begin)
            return a->begin < b->begin;
        if ((a->end > a->begin) != (b->end > b->begin))
            return a->end == a->begin; // the insertion first
        return a->order < b->order;
    });
    return sorted;
}

QList<QByteArrayView> EditPlan::pieces() const {
    QList<QByteArrayView> out;
    const QByteArrayView buffer = base();
    qsizetype copied = 0;
    for (const Splice* e : sortedSplices()) {
        out.append(buffer.sliced(copied, e->begin - copied));
        out.append(QByteArrayView(e->text));
        copied = e->end;
    }
    out.append(buffer.sliced(copied));
    return out;
}

qsizetype EditPlan::resultSize() const {
    qsizetype size = base().size();
    for (const Splice& e : m_splices)
        size += e.text.size() - (e.end - e.begin);
    return size;
}

QByteArray EditPlan::result() const {
    QByteArray out;
    out.reserve(resultSize());
    for (QByteArrayView piece : pieces())
        out.append(piece);
    return out;
}

QByteArray EditPlan::editedRegion() const {
    QByteArray out = QByteArray(kHeaderLine) + '\n';
    if (m_splices.isEmpty())
        return out;
    const QList<const Splice*> sorted = sortedSplices();
    const QByteArrayView buffer = base();
    qsizetype hi = sorted.first()->end;
    for (const Splice* e : sorted)
        hi = std::max(hi, e->end);
    qsizetype copied = sorted.first()->begin;
    for (const Splice* e : sorted) {
        out.append(buffer.sliced(copied, e->begin - copied));
        out.append(e->text);
        copied = e->end;
    }
    out.append(buffer.sliced(copied, hi - copied));
    return out;
}

EditPlan planSetValue(QByteArrayView original, QStringView keyPath, QStringView name, std::uint32_t type,
                      const QByteArray& data, std::uint64_t filetime) {
    EditPlan plan = startPlan(original);
    const QByteArrayView buffer = plan.base();
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty())
        throw RegistryError("A value cannot be written at the root of a registry file.");
    const QList<KeySection> sections = findSections(buffer, keyPath);
    if (sections.isEmpty()) {
        insertSection(plan, components, filetime, formatValueLine(name, type, data));
        return plan;
    }
    // The name's lines in every section of the key: the first one gets the new line, the others go.
    QList<ValueEntry> matches;
    const KeySection* matchSection = nullptr;
    for (const KeySection& section : sections) {
        for (const ValueEntry& v : parseValues(buffer, section)) {
            if (!namesEqual(v.name, name))
                continue;
            if (!matchSection)
                matchSection = &section;
            matches.append(v);
        }
    }
    const QString spelling = matches.isEmpty() ? name.toString() : matches.first().name;
    const QByteArray line = formatValueLine(spelling, type, data);
    if (matches.size() == 1 &&
        buffer.sliced(matches.first().begin, matches.first().end - matches.first().begin) == line)
        return EditPlan(original); // already so: nothing changes
    QList<Edit> edits;
    qsizetype optionsEnd = 0;
    const KeySection& target = matchSection ? *matchSection : sections.first();
    touchSection(buffer, target, filetime, edits, optionsEnd);
    if (!matches.isEmpty()) {
        for (qsizetype k = 0; k < matches.size(); ++k)
            edits.append({matches[k].begin, matches[k].end, k == 0 ? line : QByteArray(), 2});
    } else {
        const QList<ValueEntry> values = parseValues(buffer, target);
        qsizetype at = -1;
        for (const ValueEntry& v : values) {
            if (compareNames(v.name, name) > 0) {
                at = v.begin;
                break;
            }
        }
        if (at < 0)
            at = values.isEmpty() ? optionsEnd : values.last().end;
        edits.append({at, at, line, 2});
    }
    for (Edit& e : edits)
        plan.add(std::move(e));
    return plan;
}

EditPlan planDeleteValue(QByteArrayView original, QStringView keyPath, QStringView name,
                         std::uint64_t filetime) {
    EditPlan plan = startPlan(original);
    const QByteArrayView buffer = plan.base();
    QList<Edit> edits;
    for (const KeySection& section : findSections(buffer, keyPath)) {
        QList<Edit> removals;
        for (const ValueEntry& v : parseValues(buffer, section))
            if (namesEqual(v.name, name))
                removals.append({v.begin, v.end, QByteArray(), 2});
        if (removals.isEmpty())
            continue;
        qsizetype optionsEnd = 0;
        touchSection(buffer, section, filetime, edits, optionsEnd);
        edits += removals;
    }
    if (edits.isEmpty())
        return EditPlan(original);
    for (Edit& e : edits)
        plan.add(std::move(e));
    return plan;
}

EditPlan planCreateKey(QByteArrayView original, QStringView keyPath, std::uint64_t filetime) {
    EditPlan plan = startPlan(original);
    const QByteArrayView buffer = plan.base();
    const QStringList components = splitKeyPath(keyPath);
    if (components.isEmpty() || findSection(buffer, keyPath) || searchKey(buffer, components).exists)
        return EditPlan(original);
    insertSection(plan, components, filetime, QByteArray());
    return plan;
}

QByteArray setValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint32_t type,
                    const QByteArray& data, std::uint64_t filetime, bool& changed) {
    const EditPlan plan = planSetValue(buffer, keyPath, name, type, data, filetime);
    changed = plan.changed();
    return plan.result();
}

QByteArray deleteValue(QByteArrayView buffer, QStringView keyPath, QStringView name, std::uint64_t filetime,
                       bool& changed) {
    const EditPlan plan = planDeleteValue(buffer, keyPath, name, filetime);
    changed = plan.changed();
    return plan.result();
}

QByteArray createKey(QByteArrayView buffer, QStringView keyPath, std::uint64_t filetime, bool& changed) {
    const EditPlan plan = planCreateKey(buffer, keyPath, filetime);
    changed = plan.changed();
    return plan.result();
}

} // namespace sw::winereg
