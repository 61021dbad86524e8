#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

namespace sw {

// Writing beside a file and renaming over it: the old file stays whole until the new one is complete
// on disk. A writer that is killed leaves its temporary file behind; each temporary is locked by its
// writer for as long as it lives, so the next writer can tell an abandoned one from a busy one.
class LockedTemporary {
public:
    // Creates "<target>.swtmp-XXXXXX" beside target and locks it. Throws FileSystemError.
    explicit LockedTemporary(const QByteArray& target);
    ~LockedTemporary();
    LockedTemporary(const LockedTemporary&) = delete;
    LockedTemporary& operator=(const LockedTemporary&) = delete;

    int fd() const { return m_fd; }
    const QByteArray& name() const { return m_name; }
    // fsyncs and renames the temporary over target, then syncs the folder. Throws FileSystemError.
    void commitTo(const QByteArray& target);

private:
    QByteArray m_name;
    int m_fd = -1;
    bool m_committed = false;
};

// Removes the temporaries beside target that killed writers left (their lock is free).
void removeAbandonedTemporaries(const QByteArray& target);

// The process's file-creation mask, read without changing it.
mode_t currentUmask();

// Makes a rename or a new file in the folder durable.
void syncFolderOf(const QByteArray& path);

// Copies a host file to a host path, replacing what is there, through a temporary beside the target.
// The copy keeps the file's mode and those of the named extended attributes that the file has. It is
// complete on disk when this returns. Throws FileSystemError.
void copyFileDurably(const QString& sourceHostPath, const QString& targetHostPath,
                     const QList<QByteArray>& keptAttributes = {});

} // namespace sw
