#pragma once

#include "platform/file_information.h"

#include <QHash>
#include <QMutex>

#include <functional>

namespace sw {

// Version texts of the managed system's files, read from the resources of PE files. The version
// resource of a file is kept while the file's size and time stay the same: a listing reads the
// product and company of the same few programs for thousands of rows.
class PeFileInformation : public FileInformation {
public:
    // toHostPath maps a managed (Windows) path to the host file that holds it.
    explicit PeFileInformation(std::function<QString(const QString&)> toHostPath);

    QString getFileVersionText(const QString& path, const QString& name) const override;

private:
    struct Resource {
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds since the epoch
        QByteArray block;
    };

    std::function<QString(const QString&)> m_toHostPath;
    mutable QMutex m_mutex;
    mutable QHash<QString, Resource> m_resources; // by host path
};

} // namespace sw
