#pragma once

#include "platform/wine/registry_file_io.h"
#include "platform/wine/registry_text.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace sw::winereg {

// One registry file read whole, with its key sections found in one pass and hashed by path, so that
// every later look-up of a key costs next to nothing however large the file is.
class RegistryFileIndex {
public:
    // The file as it is now; nullptr when it cannot be read.
    static std::shared_ptr<const RegistryFileIndex> read(const QString& path);

    const QByteArray& bytes() const { return m_bytes; }
    const FileState& state() const { return m_state; }
    // False when the file lacks Wine's header: Wine would not load it, so no key is found in it.
    bool isRegistry() const { return m_isRegistry; }
    // Whether the file stayed the same while it was read; only then may it be kept.
    bool isSteady() const { return m_steady; }

    // Every section of the key in file order (Wine merges them), decoded.
    QList<KeySection> sections(QStringView keyPath) const;
    // True when some section lies below the key (Wine writes no section for a key with only subkeys).
    bool hasSubkeys(QStringView keyPath) const;

private:
    struct Entry {
        quint64 hash = 0;
        bool plain = false; // written as Wine writes plain names; see hashPlainKeyLine
        qsizetype begin = 0;
        qsizetype pathBegin = 0;
        qsizetype headerEnd = 0;
        qsizetype end = 0;
    };
    void index();
    KeySection sectionAt(qsizetype i) const;

    QByteArray m_bytes;
    FileState m_state;
    bool m_isRegistry = false;
    bool m_steady = false;
    std::vector<Entry> m_entries;
    std::vector<qint32> m_slots;     // open addressing over the plain entries by hash; -1 is free
    std::vector<qint32> m_irregular; // the other entries
};

// The indexes of a prefix's registry files, shared by the stores of one platform and kept while a
// file's size, times and inode stay the same.
class RegistryFileCache {
public:
    std::shared_ptr<const RegistryFileIndex> index(const QString& path);

private:
    QMutex m_mutex;
    QHash<QString, std::shared_ptr<const RegistryFileIndex>> m_files;
};

} // namespace sw::winereg
