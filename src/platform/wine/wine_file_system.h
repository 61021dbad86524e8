#pragma once

#include "platform/file_system.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace sw {

// The file system of a Wine prefix, seen as Wine sees it: drive letters through dosdevices,
// case-insensitive names, DOS attributes in the user.DOSATTRIB extended attribute.
class WineFileSystem : public FileSystem {
public:
    explicit WineFileSystem(QString prefixFolder);

    QString hostPath(const QString& path) const override;
    // Through the drive whose folder holds the file most closely, as Wine names host files.
    QString managedPathOfHostFile(const QString& hostFile) const override;
    std::optional<FileAttributes> attributes(const QString& path) const override;
    void setAttributes(const QString& path, const FileAttributes& attributes) override;
    QList<FolderItem> listFolder(const QString& folder) const override;
    QString folderProblem(const QString& folder) const override;
    std::shared_ptr<void> holdContents() const override;
    void copyFile(const QString& source, const QString& target) override;
    void renameFile(const QString& source, const QString& target) override;
    void removeFile(const QString& path) override;
    void createFolder(const QString& path) override;

    // The Windows path with every existing component in its real spelling and the drive letter in
    // upper case; empty when it cannot be mapped. Host paths come back unchanged.
    QString windowsPath(const QString& path) const;

    // Attributes of a host file as Wine reports them; false when it does not exist.
    static bool hostAttributes(const QString& hostPath, FileAttributes& out);

private:
    // The host path a write goes to: that of an existing file, else its name in its folder.
    QString hostPathForWrite(const QString& path) const;
    struct Resolved {
        QString host;
        QString windows;
        bool missing = false; // a component is known not to exist
    };
    Resolved resolve(const QString& path) const;
    // Also gives the folder the path names, when the path ends in a plain name (see lastNameAt).
    Resolved resolveNow(const QString& path, std::optional<Resolved>* parent = nullptr) const;
    QString findInFolder(const QString& folder, const QString& name) const;
    bool driveExists(const QString& driveName) const;

    struct State;
    QString m_prefix;
    std::shared_ptr<State> m_state;
};

} // namespace sw
