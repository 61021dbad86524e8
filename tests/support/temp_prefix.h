#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

namespace sw::test {

inline const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

// A throwaway Wine prefix laid out as wineboot leaves it: system.reg and user.reg with Wine's
// header, dosdevices/c: pointing at drive_c, and the user's and the public Startup folders.
// Registry bodies can be given as Wine would write them (key sections after the header).
class TempPrefix {
public:
    explicit TempPrefix(const QByteArray& systemBody = {}, const QByteArray& userBody = {});

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // A path below the prefix; an absolute path is taken as it is.
    QString hostPath(const QString& relative) const;

    // Host folders of the two Startup folders (created).
    QString userStartupFolder() const;
    QString commonStartupFolder() const;

    // Where the program keeps the prefix's backed-up Startup files of a group ("Local User", "All
    // Users"); not created.
    QString backupFolder(const QString& group) const;

    // Writes a file below the prefix (or at an absolute path), creating its folders.
    bool writeFile(const QString& relative, const QByteArray& content) const;
    QByteArray readFile(const QString& relative) const;

    // A registry value as the prefix's files hold it now, or "<none>".
    QString value(std::int32_t root, const QString& key, const QString& name) const;

    static QByteArray registryHeader(bool machine);

    // A user.reg section naming the prefix's user ("tester") and profile folder, so that the
    // current user's Startup folder resolves to userStartupFolder(). Without it Wine's fallback
    // user name applies.
    static QByteArray userProfileBody();

    // A key section as Wine writes it; the key is spelt as in Windows, lines are value lines.
    static QByteArray section(const QString& key, const QByteArray& lines);
    // A section of the Run key (or of a sibling such as "RunOnce").
    static QByteArray runSection(const QByteArray& lines, const QString& leaf = QStringLiteral("Run"));
    // A section of the key the program keeps registry backups below ("HKEY_CU\\Run", ...).
    static QByteArray backupSection(const QString& leaf, const QByteArray& lines);

private:
    QTemporaryDir m_dir;
};

// The path of a file in the fixtures folder.
QString fixture(const QString& name);

} // namespace sw::test
