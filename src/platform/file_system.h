#pragma once

#include "platform_error.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace sw {

class FileSystemError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

// The DOS attributes the program reads and sets on files of the managed system.
struct FileAttributes {
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool directory = false;
    qint64 size = 0; // read only: setAttributes ignores it
};

// A file of a folder listing with its attributes.
struct FolderItem {
    QString name;
    FileAttributes attributes;
};

// The managed system's file system. Paths are the managed system's paths: on a Wine prefix Windows
// paths ("C:\users\...") that the implementation maps into the prefix; an absolute host path
// (starting with "/") is taken as it is, which serves the program folder's own files.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The host path that backs a managed path, found as the managed system finds it; empty when it
    // cannot be mapped. Existing files come back with their real spelling.
    virtual QString hostPath(const QString& path) const = 0;
    // The managed path under which the managed system sees an existing host file; empty when no
    // drive of the managed system holds it.
    virtual QString managedPathOfHostFile(const QString& hostFile) const = 0;
    // Attributes of an existing file or folder; nothing when it is missing.
    virtual std::optional<FileAttributes> attributes(const QString& path) const = 0;
    // Replaces the hidden, system and read-only marks of a file. Throws FileSystemError on failure.
    virtual void setAttributes(const QString& path, const FileAttributes& attributes) = 0;
    // Files and folders directly inside a folder, in the file system's order, without "." and "..".
    virtual QList<FolderItem> listFolder(const QString& folder) const = 0;
    // Empty when a folder can be listed or does not exist; otherwise why it cannot be read (a
    // listing of it is empty then, but not because the folder is).
    virtual QString folderProblem(const QString& folder) const {
        (void)folder;
        return {};
    }
    // While the returned object lives, what was read of folders and files is taken as unchanged: a
    // listing looks up thousands of program paths in the same few folders.
    virtual std::shared_ptr<void> holdContents() const { return nullptr; }
    // Copies a file with its attributes (hidden, system, read-only) over whatever the target holds;
    // the copy is complete on disk when this returns, and a failed copy leaves the old target whole.
    // Throws FileSystemError.
    virtual void copyFile(const QString& source, const QString& target) = 0;
    // Gives a file a new name, in its folder or another one; the file keeps its content and marks.
    // Never replaces another file (a new spelling of the same name is no other file). The new name
    // is on disk when this returns. Throws FileSystemError.
    virtual void renameFile(const QString& source, const QString& target) = 0;
    // Deletes a file, read-only or not. Throws FileSystemError.
    virtual void removeFile(const QString& path) = 0;
    // Creates a folder inside an existing one. Throws FileSystemError.
    virtual void createFolder(const QString& path) = 0;
};

// What a file's writer puts between a file's name and a random suffix while it writes the file's
// next version beside it. A killed writer leaves such a file behind until the next write.
inline constexpr char kWriteTemporaryMark[] = ".swtmp-";

// True for a file of a write in progress or of a killed one: never an entry or a backup.
inline bool isWriteTemporary(const QString& name) {
    return name.contains(QLatin1String(kWriteTemporaryMark));
}

// True when a file's name holds no path separator of the managed system or the host. A Startup file
// named "x\..\..\victim.txt" is listed, but a write through its folder and name would reach
// another file: such names are never written.
inline bool isPlainFileName(const QString& name) {
    return !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char('/'));
}

// Program texts (Run data, shortcut targets) name files of the managed system. A host path ("/...")
// names none of them: Wine would take it as a path on the current drive.
bool isManagedPath(const QString& path);

// True when a managed path names a file (not a folder) that is not hidden: the program's test for a
// program file that exists. System files count as present.
bool programFileExists(const FileSystem& fs, const QString& path);

} // namespace sw
