#pragma once

#include "found_prefix.h"

#include <QSet>

namespace sw {

// Gathers what the readers find: each folder that is a prefix once, under the name and source it
// was first found with, and the notes on what was skipped.
class PrefixCollector {
public:
    explicit PrefixCollector(QString home) : m_home(std::move(home)) {}

    const QString& home() const { return m_home; }
    // A path below home.
    QString homePath(const QString& relative) const;

    // True when folder is a prefix not found yet: its name need not be looked up otherwise.
    bool wouldAdd(const QString& folder) const;
    void add(const QString& folder, const QString& name, PrefixSource source);
    // Each prefix folder directly in parent, named after its folder.
    void addChildren(const QString& parent, PrefixSource source);
    void note(const QString& file, const QString& reason) { m_search.notes.push_back({file, reason}); }
    std::vector<PrefixSearchNote>& notes() { return m_search.notes; }

    PrefixSearch take() { return std::move(m_search); }

private:
    // The canonical path of folder when it is a prefix not found yet; empty otherwise, also for a
    // folder that is missing or behind a loop of links.
    QString newPrefixPath(const QString& folder) const;

    QString m_home;
    QSet<QString> m_seen;
    PrefixSearch m_search;
};

} // namespace sw
