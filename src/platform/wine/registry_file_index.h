#pragma once

#include "platform/wine/registry_file_io.h"
#include "platform/wine/registry_text.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringView>
#include <memory>
#include <span>
#include <vector>

namespace sw::winereg {

// One registry file, its key sections found in one streaming pass and hashed by path, so that
// every later look-up of a key costs next to nothing however large the file is. The file stays open:
// sections are read from the version that was indexed, even after a writer renamed a new one over it.
// The index of a large file is also stored in the user's cache folder, so that the next process
// that opens the same, unchanged file maps it instead of reading the whole file again.
class RegistryFileIndex {
public:
    // The file as it is now; nullptr when it cannot be read.
    static std::shared_ptr<const RegistryFileIndex> read(const QString& path);
    ~RegistryFileIndex();
    RegistryFileIndex(const RegistryFileIndex&) = delete;
    RegistryFileIndex& operator=(const RegistryFileIndex&) = delete;

    const FileState& state() const { return m_state; }
    // False when the file lacks Wine's header: Wine would not load it, so no key is found in it.
    bool isRegistry() const { return m_isRegistry; }
    // Whether the file stayed the same while it was read; only then may it be kept.
    bool isSteady() const { return m_steady; }
    // Whether the index was mapped from the store instead of built from the file.
    bool isStored() const { return m_mapping != nullptr; }

    // The sections of one key (Wine merges them), in file order: bytes holds their text one after
    // the other and the sections point into it. Empty when the key has no section.
    struct Key {
        QByteArray bytes;
        QList<KeySection> sections;
    };
    // False when the file could not be read again.
    bool key(QStringView keyPath, Key& out) const;
    // True when some section lies below the key (Wine writes no section for a key with only subkeys).
    bool hasSubkeys(QStringView keyPath) const;

    RegistryFileIndex() = default;

    // Files smaller than this are indexed faster than a stored index is opened.
    static constexpr qint64 kStoredMinimumBytes = 1 << 20;
    // Where indexes are stored: the user's cache folder.
    static QString storeFolder();

private:
    // A key line; its section ends where the next one begins. Kept small: a file has 100,000s, and
    // every page of them costs a page fault in a new process.
    struct Entry {
        quint64 hash = 0;
        qint64 begin : 63 = 0;
        bool plain : 1 = false; // written as Wine writes plain names; see hashPlainKeyLine
    };
    qint64 endOf(std::size_t i) const { return i + 1 < m_entries.size() ? m_entries[i + 1].begin : m_size; }
    // Fills m_ancestors with one more pass over the key lines, made on the first question; false
    // when the file could not be read.
    bool findAncestors() const;
    // Calls visit(line, offset) for each key line of the file (line without its newline, offset of
    // its first byte in the file); false when the file could not be read.
    template <typename Visit> bool forEachKeyLine(Visit&& visit) const;
    bool readRange(qint64 begin, qint64 end, QByteArray& out) const;
    // The stored index of this file's version, when there is one (registry_index_store.cpp).
    bool loadStored(const QString& path);
    void store(const QString& path) const;

    int m_fd = -1;
    qint64 m_size = 0;
    FileState m_state;
    bool m_isRegistry = false;
    bool m_steady = false;
    // Either built here (the owned vectors) or mapped from a stored index.
    std::span<const Entry> m_entries;
    std::span<const qint32> m_slots; // open addressing over the plain entries by hash; -1 is free
    std::vector<Entry> m_ownedEntries;
    std::vector<qint32> m_ownedSlots;
    void* m_mapping = nullptr;
    std::size_t m_mappingSize = 0;
    // The other key lines with their decoded path, lower-cased (lines Wine rejects are left out).
    std::vector<std::pair<qint32, QString>> m_irregular;
    // Every key above a plain key line, by the hash of its plain path, with one such line: Wine
    // writes no section for a key that only holds subkeys.
    mutable QMutex m_ancestorsMutex;
    mutable bool m_ancestorsFound = false;
    mutable QHash<quint64, qint32> m_ancestors;
};

// The indexes of a prefix's registry files, shared by the stores of one platform and kept while a
// file's size, times and inode stay the same.
class RegistryFileCache {
public:
    std::shared_ptr<const RegistryFileIndex> index(const QString& path);
    // While the returned object lives, a file indexed once is not examined again.
    std::shared_ptr<void> holdContents();

private:
    struct State {
        QMutex mutex;
        QHash<QString, std::shared_ptr<const RegistryFileIndex>> files;
        int holds = 0;
        QSet<QString> checkedWhileHeld;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace sw::winereg
