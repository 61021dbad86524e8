#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace sw::test {

// A throwaway Wine prefix laid out as wineboot leaves it: system.reg and user.reg with Wine's
// header, dosdevices/c: pointing at drive_c, and the user's and the public Startup folders.
// Registry bodies can be given as Wine would write them (key sections after the header).
class TempPrefix {
public:
    explicit TempPrefix(const QByteArray& systemBody = {}, const QByteArray& userBody = {});

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString hostPath(const QString& relative) const { return m_dir.filePath(relative); }

    // Host folders of the two Startup folders (created).
    QString userStartupFolder() const;
    QString commonStartupFolder() const;

    // Writes a file below the prefix, creating its folders.
    bool writeFile(const QString& relative, const QByteArray& content) const;
    QByteArray readFile(const QString& relative) const;

    static QByteArray registryHeader(bool machine);

    // A user.reg section naming the prefix's user ("tester") and profile folder, so that the
    // current user's Startup folder resolves to userStartupFolder(). Without it Wine's fallback
    // user name applies.
    static QByteArray userProfileBody();

private:
    QTemporaryDir m_dir;
};

// The path of a file in the fixtures folder.
QString fixture(const QString& name);

} // namespace sw::test
