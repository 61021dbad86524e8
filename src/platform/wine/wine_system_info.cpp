#include "wine_system_info.h"

#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace sw {

namespace {
const char* const kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Wine's built-in locations when the registry names none.
const char* const kDefaultStartup =
    "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";
const char* const kDefaultCommonStartup = "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";

bool isDrivePath(const QString& path) {
    return path.size() >= 3 && path.at(1) == QLatin1Char(':') && path.at(2) == QLatin1Char('\\');
}
} // namespace

WineSystemInfo::WineSystemInfo(QString prefixFolder, RegistryFactory registry,
                               std::shared_ptr<WineFileSystem> files)
    : m_prefixFolder(prefixFolder),
      m_files(files ? std::move(files) : std::make_shared<WineFileSystem>(std::move(prefixFolder))),
      m_registry(std::move(registry)) {}

bool WineSystemInfo::has32BitView() const {
    // The architecture is a comment among the header lines, before the first key.
    QFile file(QDir(m_prefixFolder).filePath(QStringLiteral("system.reg")));
    if (!file.open(QIODevice::ReadOnly))
        return true;
    for (int line = 0; line < 8; ++line) {
        const QByteArray text = file.readLine(256).trimmed();
        if (text.startsWith('['))
            break;
        if (text.startsWith("#arch="))
            return text != "#arch=win32";
    }
    return true;
}

const WineEnvironment& WineSystemInfo::environment() const {
    std::call_once(m_environmentRead, [this] {
        std::unique_ptr<RegistryStore> store;
        try {
            if (m_registry)
                store = m_registry();
        } catch (const std::exception&) {
        }
        m_environment = store ? WineEnvironment::fromRegistry(*store) : WineEnvironment();
        // Wine's own defaults stand in for what a damaged registry lacks.
        if (!m_environment->contains(QStringLiteral("SystemRoot")))
            m_environment->set(QStringLiteral("SystemRoot"), QStringLiteral("C:\\windows"));
        if (!m_environment->contains(QStringLiteral("ProgramData")))
            m_environment->set(QStringLiteral("ProgramData"), QStringLiteral("C:\\ProgramData"));
        if (!m_environment->contains(QStringLiteral("USERPROFILE"))) {
            QString user = m_environment->value(QStringLiteral("USERNAME"));
            if (user.isEmpty())
                user = QStringLiteral("wine");
            m_environment->set(QStringLiteral("USERPROFILE"), QStringLiteral("C:\\users\\") + user);
        }
    });
    return *m_environment;
}

QString WineSystemInfo::environmentValue(const QString& name) const {
    return environment().value(name);
}

QString WineSystemInfo::shellFolderValue(std::int32_t root, const QString& name) const {
    try {
        std::unique_ptr<RegistryStore> store = m_registry ? m_registry() : nullptr;
        if (!store)
            return {};
        const QString key = QLatin1String(kUserShellFolders);
        const std::optional<RegistryValueNames> listed = store->enumerateValues(root, key);
        if (!listed)
            return {};
        for (qsizetype i = 0; i < listed->names.size(); ++i)
            if (listed->names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return store->readValue(root, key, listed->names.at(i), listed->kinds.at(i));
    } catch (const std::exception&) {
    }
    return {};
}

QString WineSystemInfo::getSpecialFolder(int folderNumber, bool create, bool verify) const {
    QString path;
    if (folderNumber == kCsidlStartup) {
        path = shellFolderValue(kHkeyCurrentUser, QStringLiteral("StartUp"));
        if (path.isEmpty())
            path = shellFolderValue(kHkeyLocalMachine, QStringLiteral("StartUp"));
        if (path.isEmpty())
            path = QLatin1String(kDefaultStartup);
    } else if (folderNumber == kCsidlCommonStartup) {
        path = shellFolderValue(kHkeyLocalMachine, QStringLiteral("Common StartUp"));
        if (path.isEmpty())
            path = QLatin1String(kDefaultCommonStartup);
    } else {
        return {};
    }
    // Wine expands the whole value: a pair may stand anywhere, as in C:\users\%USERNAME%\...
    path = environment().expand(path);
    while (path.size() > 3 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    if (!isDrivePath(path))
        return {};
    if (create || verify) {
        const QString host = m_files->hostPath(path);
        if (create && !host.isEmpty())
            QDir().mkpath(host);
        if (verify && (host.isEmpty() || !QFileInfo(host).isDir()))
            return {};
    }
    return path;
}

QStringList WineSystemInfo::searchFolders() const {
    std::call_once(m_searchFoldersRead, [this] {
        QStringList folders = {QStringLiteral("C:\\windows\\system32"), QStringLiteral("C:\\windows\\system"),
                               QStringLiteral("C:\\windows")};
        const QStringList path =
            environment().value(QStringLiteral("PATH")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString folder : path) {
            folder = folder.trimmed();
            if (folder.size() > 1 && folder.startsWith(QLatin1Char('"')) && folder.endsWith(QLatin1Char('"')))
                folder = folder.mid(1, folder.size() - 2);
            if (!folder.isEmpty())
                folders.append(folder);
        }
        for (QString& folder : folders)
            while (folder.endsWith(QLatin1Char('\\')))
                folder.chop(1);
        m_searchFolders = folders;
    });
    return *m_searchFolders;
}

std::optional<QString> WineSystemInfo::searchProgramFile(const QString& fileName) const {
    if (fileName.isEmpty() || fileName.contains(QChar(0)))
        return std::nullopt;
    const auto isFile = [this](const QString& path) {
        const std::optional<FileAttributes> attributes = m_files->attributes(path);
        return attributes && !attributes->directory;
    };
    if (fileName.contains(QLatin1Char('\\')) || fileName.contains(QLatin1Char('/')) ||
        fileName.contains(QLatin1Char(':'))) {
        // A name with a folder is only tested where it points.
        if (!isFile(fileName))
            return std::nullopt;
        return m_files->windowsPath(fileName);
    }
    for (const QString& folder : searchFolders()) {
        const QString candidate = folder + QLatin1Char('\\') + fileName;
        if (isFile(candidate))
            return m_files->windowsPath(candidate);
    }
    return std::nullopt;
}

} // namespace sw
