#include "entry_writer.h"

#include "entry_actions.h"
#include "places.h"
#include "platform/path_resolution.h"
#include "platform/platform.h"

namespace sw {

namespace {

// Names Windows keeps for devices, whatever extension follows.
bool isDeviceName(const QString& fileName) {
    const QString base = fileName.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList plain{"CON", "PRN", "AUX", "NUL"};
    if (plain.contains(base))
        return true;
    return base.size() == 4 &&
           (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
           base.at(3) >= QLatin1Char('1') && base.at(3) <= QLatin1Char('9');
}

bool isWindowsFileName(const QString& fileName) {
    for (const QChar c : fileName)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    return !fileName.endsWith(QLatin1Char('.')) && !fileName.endsWith(QLatin1Char(' ')) &&
           !isDeviceName(fileName);
}

bool nameIsUsable(const QString& name, const EntryPlace& place) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || name.size() > kMaxEntryNameLength)
        return false;
    return !place.isStartupFolder() ||
           (isWindowsFileName(trimmed) && isWindowsFileName(shortcutFileName(trimmed)));
}

// Creates the folder and every missing one above it, as the shell does for a Startup folder.
void ensureFolder(FileSystem& fs, const QString& folder) {
    const QStringList parts = folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path += part + QLatin1Char('\\');
        if (path.size() == 3 && path.at(1) == QLatin1Char(':'))
            continue; // the drive's root
        FileAttributes existing;
        if (!fs.attributes(path.chopped(1), existing))
            fs.createFolder(path.chopped(1));
        else if (!existing.directory)
            throw FileSystemError(
                QStringLiteral("%1 is a file, not a folder.").arg(path.chopped(1)).toStdString());
    }
}

WrittenEntry writeShortcut(const Platform& platform, const QString& name, const QString& programField,
                           const QString& folder) {
    const QString resolved = ResolveProgramPath(programField, *platform.system, platform.fileSystem.get());
    QString target;
    if (programFileExists(*platform.fileSystem, resolved))
        target = resolved;
    else if (programFileExists(*platform.fileSystem, programField))
        target = programField;
    if (target.isEmpty())
        throw EntryRejected(EntryProblem::ProgramNotFound);
    ensureFolder(*platform.fileSystem, folder);
    const QString link = folder + QLatin1Char('\\') + shortcutFileName(name);
    ShortcutInfo info;
    info.target = target;
    info.workingPath = target;
    platform.newShortcutFile()->CreateShortcut(link, info);
    // A link written over a hidden one must not inherit its mark: a new entry is active.
    FileAttributes written;
    if (platform.fileSystem->attributes(link, written) &&
        (written.hidden || written.system || written.readOnly))
        platform.fileSystem->setAttributes(link, FileAttributes{});
    return {link, shortcutFileName(name)};
}

bool sameEntry(const AutostartEntry& old, const WrittenEntry& written) {
    return old.tag.compare(written.tag, Qt::CaseInsensitive) == 0 &&
           (!old.isRegistryEntry() || old.name.compare(written.name, Qt::CaseInsensitive) == 0);
}

void removeEntry(const Platform& platform, const AutostartEntry& row) {
    if (row.isRegistryEntry())
        platform.newRegistryStore()->DeleteValue(GetTagRoot(row.tag), GetTagKey(row.tag), row.name);
    else
        platform.fileSystem->removeFile(row.tag);
}

bool entryExists(const Platform& platform, const AutostartEntry& row) {
    if (!row.isRegistryEntry()) {
        FileAttributes attributes;
        return platform.fileSystem->attributes(row.tag, attributes);
    }
    QStringList names;
    QList<std::uint32_t> kinds;
    return platform.newRegistryStore()->EnumerateValues(GetTagRoot(row.tag), GetTagKey(row.tag), names,
                                                        kinds) &&
           names.contains(row.name, Qt::CaseInsensitive);
}

} // namespace

EntryPlace entryPlaceOfCategory(const SystemInfo& system, const QString& categoryKey) {
    const QList<const Place*> places = placesOfCategory(categoryKey);
    if (places.size() != 1 || categoryKey == QLatin1String("ALL"))
        return {};
    const Place& place = *places.first();
    if (place.kind == PlaceKind::RegistryKey)
        return {place.root, place.keyPath};
    return {0, startupFolderPath(system, place)};
}

QString problemTextKey(EntryProblem problem) {
    switch (problem) {
    case EntryProblem::NoPlace:
        return QStringLiteral("ChooseEntryPlace");
    case EntryProblem::BadName:
        return QStringLiteral("MsgBadEntryName");
    case EntryProblem::ProgramNotFound:
        return QStringLiteral("MsgProgramNotFound");
    case EntryProblem::None:
        break;
    }
    return {};
}

QString findProgramFile(const Platform& platform, const QString& programField) {
    const QString typed = programField.trimmed();
    if (!typed.isEmpty() && programFileExists(*platform.fileSystem, typed))
        return typed;
    const QString resolved = ResolveProgramPath(typed, *platform.system, platform.fileSystem.get());
    return programFileExists(*platform.fileSystem, resolved) ? resolved : QString();
}

QString shortcutFileName(const QString& trimmedName) {
    return trimmedName.endsWith(QLatin1String(".lnk"), Qt::CaseSensitive)
               ? trimmedName
               : trimmedName + QLatin1String(".lnk");
}

EntryProblem checkEntry(const Platform& platform, const QString& name, const QString& programField,
                        const EntryPlace& place) {
    if (!place.isChosen())
        return EntryProblem::NoPlace;
    if (!nameIsUsable(name, place))
        return EntryProblem::BadName;
    if (findProgramFile(platform, programField).isEmpty())
        return EntryProblem::ProgramNotFound;
    return EntryProblem::None;
}

EntryRejected::EntryRejected(EntryProblem problem)
    : std::runtime_error(problemTextKey(problem).toStdString()), m_problem(problem) {}

WrittenEntry WriteEntry(const Platform& platform, const QString& name, const QString& programField,
                        const EntryPlace& place) {
    ensureWritable(platform);
    if (const EntryProblem problem = checkEntry(platform, name, programField, place);
        problem != EntryProblem::None)
        throw EntryRejected(problem);
    const QString trimmed = name.trimmed();
    if (place.isStartupFolder())
        return writeShortcut(platform, trimmed, programField, place.key);
    platform.newRegistryStore()->WriteStringValue(place.root, place.key, trimmed, programField);
    return {makeEntryTag(place.root, place.key), trimmed};
}

WrittenEntry replaceEntry(const Platform& platform, const AutostartEntry& old, const QString& name,
                          const QString& programField, const EntryPlace& place) {
    const WrittenEntry written = WriteEntry(platform, name, programField, place);
    if (sameEntry(old, written))
        return written;
    try {
        removeEntry(platform, old);
    } catch (const std::exception& error) {
        // An old entry that is already gone is what the edit wanted.
        if (entryExists(platform, old))
            throw std::runtime_error(
                QStringLiteral("The new entry was written, but the old one could not be removed: %1")
                    .arg(QString::fromStdString(error.what()))
                    .toStdString());
    }
    return written;
}

} // namespace sw
