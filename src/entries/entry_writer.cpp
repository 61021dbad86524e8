#include "entry_writer.h"

#include "entry_actions.h"
#include "places.h"
#include "platform/path_resolution.h"
#include "platform/platform.h"

#include <optional>

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

// An edit that keeps the entry's name may keep a name longer than new names may be.
bool nameIsUsable(const QString& name, const EntryPlace& place, const QString& keptName = {}) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || (name.size() > kMaxEntryNameLength && trimmed != keptName))
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
        const std::optional<FileAttributes> existing = fs.attributes(path.chopped(1));
        if (!existing)
            fs.createFolder(path.chopped(1));
        else if (!existing->directory)
            throw FileSystemError(
                QStringLiteral("%1 is a file, not a folder.").arg(path.chopped(1)).toStdString());
    }
}

QString parentFolder(const QString& windowsPath) {
    const qsizetype slash = windowsPath.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : windowsPath.left(slash == 2 ? 3 : slash);
}

QString unquoted(const QString& text) {
    QString trimmed = text.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) && trimmed.endsWith(QLatin1Char('"')))
        trimmed = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return trimmed;
}

// A path as a command line: quoted when it holds a blank.
QString commandLineOf(const QString& path) {
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

// info carries what a rewritten link keeps of the old one; a target set there is used as it is (the
// program field still names it).
WrittenEntry writeShortcut(const Platform& platform, const QString& name, const QString& programField,
                           const QString& folder, ShortcutInfo info = {}) {
    if (info.target.isEmpty()) {
        const std::optional<QString> resolved =
            resolveProgramPath(programField, *platform.system, platform.fileSystem.get());
        if (resolved && programFileExists(*platform.fileSystem, *resolved))
            info.target = *resolved;
        else if (programFileExists(*platform.fileSystem, programField))
            info.target = programField;
    }
    if (info.target.isEmpty())
        throw EntryRejected(EntryProblem::ProgramNotFound);
    if (info.workingPath.isEmpty())
        info.workingPath = info.target;
    ensureFolder(*platform.fileSystem, folder);
    const QString link = folder + QLatin1Char('\\') + shortcutFileName(name);
    platform.newShortcutFile()->createShortcut(link, info);
    // A link written over a hidden one must not inherit its mark: a new entry is active.
    const std::optional<FileAttributes> written = platform.fileSystem->attributes(link);
    if (written && (written->hidden || written->system || written->readOnly))
        platform.fileSystem->setAttributes(link, FileAttributes{});
    return {link, shortcutFileName(name), {}};
}

// What a rewritten shortcut keeps of the old one. The working folder and the icon that followed the
// old program (its folder, its file) follow the new one; whatever the user set apart from it stays.
ShortcutInfo keptShortcutInfo(const Platform& platform, const AutostartEntry& old,
                              const QString& programField) {
    ShortcutInfo kept;
    ShortcutInfo was;
    try {
        const auto shortcut = platform.newShortcutFile();
        shortcut->loadShortcut(old.tag);
        was = shortcut->getInfo();
    } catch (const std::exception&) {
        return kept; // an unreadable link has nothing to keep
    }
    kept.description = was.description;
    kept.arguments = was.arguments;
    kept.showCommand = was.showCommand;
    if (!was.target.isEmpty() && sameProgram(programField, was.target)) {
        kept.target = was.target;
        kept.workingPath = was.workingPath;
        kept.iconPath = was.iconPath;
        kept.iconIndex = was.iconIndex;
        return kept;
    }
    if (was.workingPath.compare(parentFolder(was.target), Qt::CaseInsensitive) != 0)
        kept.workingPath = was.workingPath;
    if (was.iconPath.compare(was.target, Qt::CaseInsensitive) != 0) {
        kept.iconPath = was.iconPath;
        kept.iconIndex = was.iconIndex;
    }
    return kept;
}

bool sameEntry(const AutostartEntry& old, const AutostartEntry& other) {
    return old.tag.compare(other.tag, Qt::CaseInsensitive) == 0 &&
           (!old.isRegistryEntry() || old.name.compare(other.name, Qt::CaseInsensitive) == 0);
}

bool sameEntry(const AutostartEntry& old, const WrittenEntry& written) {
    return old.tag.compare(written.tag, Qt::CaseInsensitive) == 0 &&
           (!old.isRegistryEntry() || old.name.compare(written.name, Qt::CaseInsensitive) == 0);
}

void removeEntry(const Platform& platform, const AutostartEntry& row) {
    if (row.isRegistryEntry())
        platform.newRegistryStore()->deleteValue(getTagRoot(row.tag), getTagKey(row.tag), row.name);
    else
        platform.fileSystem->removeFile(row.tag);
}

bool entryExists(const Platform& platform, const AutostartEntry& row) {
    if (!row.isRegistryEntry()) {
        return platform.fileSystem->attributes(row.tag).has_value();
    }
    const auto listed = platform.newRegistryStore()->enumerateValues(getTagRoot(row.tag), getTagKey(row.tag));
    return listed && listed->names.contains(row.name, Qt::CaseInsensitive);
}

// The entry that a value or file of this name in the place is (names compare as Windows compares
// them; the exact spelling first), or nullopt.
std::optional<AutostartEntry> entryNamed(const Platform& platform, const EntryPlace& place,
                                         const QString& name) {
    QStringList names;
    if (place.isStartupFolder()) {
        for (const FolderItem& item : platform.fileSystem->listFolder(place.key))
            if (!item.attributes.directory)
                names.append(item.name);
    } else {
        if (const auto listed = platform.newRegistryStore()->enumerateValues(place.root, place.key))
            names = listed->names;
    }
    qsizetype found = names.indexOf(name);
    for (qsizetype i = 0; found < 0 && i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            found = i;
    if (found < 0)
        return std::nullopt;
    AutostartEntry row;
    row.name = names[found];
    if (place.isStartupFolder()) {
        row.tag = place.key + QLatin1Char('\\') + row.name;
    } else {
        row.tag = makeEntryTag(place.root, place.key);
        row.rowKey = row.name + QLatin1Char('@') + row.tag;
    }
    return row;
}

// Makes room for an entry of this name: another entry already there is replaced only when the rule
// allows it, and only after its backup is made. Gives the backup, empty when nothing stood there.
std::optional<AutostartEntry> makeRoom(const Platform& platform, const EntryPlace& place, const QString& name,
                                       const AutostartEntry* old, const ReplaceRule& rule, QString& backup) {
    const std::optional<AutostartEntry> existing = entryNamed(platform, place, name);
    if (!existing || (old && sameEntry(*old, *existing)))
        return std::nullopt;
    if (!rule.allowed || !rule.allowed(*existing))
        throw EntryRejected(EntryProblem::EntryExists);
    backup = backUpEntry(platform, rule.dataFolder, *existing);
    return existing;
}

// The new file name of a renamed plain file: its extension stays, so the file stays what it is.
QString keptExtensionName(const QString& trimmedName, const QString& oldName) {
    const qsizetype dot = oldName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? oldName.mid(dot) : QString();
    return trimmedName.endsWith(extension, Qt::CaseInsensitive) ? trimmedName : trimmedName + extension;
}

WrittenEntry editPlainFile(const Platform& platform, const AutostartEntry& old, const QString& name,
                           const QString& programField, const EntryPlace& place, const ReplaceRule& rule) {
    if (!sameProgram(programField, old.program))
        throw EntryRejected(EntryProblem::FileProgramFixed);
    if (!place.isChosen())
        throw EntryRejected(EntryProblem::NoPlace);
    const QString trimmed = name.trimmed();
    WrittenEntry written;
    if (!place.isStartupFolder()) {
        if (!nameIsUsable(name, place, old.name))
            throw EntryRejected(EntryProblem::BadName);
        // The file stays where it is and starts from the key now; hidden, it no longer starts from
        // its folder as well.
        makeRoom(platform, place, trimmed, &old, rule, written.replacedBackup);
        platform.newRegistryStore()->writeStringValue(place.root, place.key, trimmed, commandLineOf(old.tag));
        FileAttributes hidden;
        hidden.hidden = true;
        platform.fileSystem->setAttributes(old.tag, hidden);
        written.tag = makeEntryTag(place.root, place.key);
        written.name = trimmed;
        return written;
    }
    const QString fileName = keptExtensionName(trimmed, old.name);
    if (trimmed.isEmpty() || (name.size() > kMaxEntryNameLength && trimmed != old.name) ||
        !isWindowsFileName(fileName))
        throw EntryRejected(EntryProblem::BadName);
    written.tag = place.key + QLatin1Char('\\') + fileName;
    written.name = fileName;
    if (const auto replaced = makeRoom(platform, place, fileName, &old, rule, written.replacedBackup))
        platform.fileSystem->removeFile(replaced->tag);
    if (written.tag != old.tag) {
        ensureFolder(*platform.fileSystem, place.key);
        platform.fileSystem->renameFile(old.tag, written.tag);
    }
    // An edited entry is active, as a rewritten one is.
    platform.fileSystem->setAttributes(written.tag, FileAttributes{});
    return written;
}

} // namespace

EntryPlace entryPlaceOfCategory(const SystemInfo& system, const QString& categoryKey) {
    const Place* own = placeOfCategory(categoryKey);
    if (!own)
        return {};
    const Place& place = *own;
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
    case EntryProblem::EntryExists:
        return QStringLiteral("MsgEntryExists");
    case EntryProblem::FileProgramFixed:
        return QStringLiteral("MsgFileProgramFixed");
    case EntryProblem::None:
        break;
    }
    return {};
}

QString findProgramFile(const Platform& platform, const QString& programField) {
    const QString typed = programField.trimmed();
    if (!typed.isEmpty() && programFileExists(*platform.fileSystem, typed))
        return typed;
    const std::optional<QString> resolved =
        resolveProgramPath(typed, *platform.system, platform.fileSystem.get());
    return resolved && programFileExists(*platform.fileSystem, *resolved) ? *resolved : QString();
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
    : CoreError(problemTextKey(problem).toStdString()), m_problem(problem) {}

bool isPlainStartupFile(const AutostartEntry& row) {
    return !row.isRegistryEntry() && !row.name.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive);
}

bool sameProgram(const QString& programField, const QString& program) {
    return unquoted(programField).compare(unquoted(program), Qt::CaseInsensitive) == 0;
}

WrittenEntry writeEntry(const Platform& platform, const QString& name, const QString& programField,
                        const EntryPlace& place, const ReplaceRule& replace) {
    ensureWritable(platform);
    if (const EntryProblem problem = checkEntry(platform, name, programField, place);
        problem != EntryProblem::None)
        throw EntryRejected(problem);
    const QString trimmed = name.trimmed();
    QString backup;
    if (place.isStartupFolder()) {
        makeRoom(platform, place, shortcutFileName(trimmed), nullptr, replace, backup);
        WrittenEntry written = writeShortcut(platform, trimmed, programField, place.key);
        written.replacedBackup = backup;
        return written;
    }
    makeRoom(platform, place, trimmed, nullptr, replace, backup);
    platform.newRegistryStore()->writeStringValue(place.root, place.key, trimmed, programField);
    return {makeEntryTag(place.root, place.key), trimmed, backup};
}

WrittenEntry replaceEntry(const Platform& platform, const AutostartEntry& old, const QString& name,
                          const QString& programField, const EntryPlace& place, const ReplaceRule& replace) {
    ensureWritable(platform);
    std::uint32_t type = kRegistryString;
    if (old.isRegistryEntry()) {
        try {
            type = platform.newRegistryStore()->valueType(getTagRoot(old.tag), getTagKey(old.tag), old.name);
        } catch (const RegistryError&) {
            // Gone since the listing: the edit writes it anew.
        }
        if (!isTextValueType(type))
            throw ValueNotText(old.name);
    }
    if (isPlainStartupFile(old))
        return editPlainFile(platform, old, name, programField, place, replace);
    WrittenEntry written;
    EntryProblem problem = checkEntry(platform, name, programField, place);
    if (problem == EntryProblem::BadName && nameIsUsable(name, place, old.name))
        problem = EntryProblem::None;
    if (problem != EntryProblem::None)
        throw EntryRejected(problem);
    const QString trimmed = name.trimmed();
    const bool fromShortcut = !old.isRegistryEntry();
    const ShortcutInfo kept = fromShortcut ? keptShortcutInfo(platform, old, programField) : ShortcutInfo{};
    if (place.isStartupFolder()) {
        makeRoom(platform, place, shortcutFileName(trimmed), &old, replace, written.replacedBackup);
        const QString backup = written.replacedBackup;
        written = writeShortcut(platform, trimmed, programField, place.key, kept);
        written.replacedBackup = backup;
    } else {
        // A shortcut moved to a key keeps its arguments on the command line.
        QString data = programField;
        if (fromShortcut && !kept.target.isEmpty() && !kept.arguments.isEmpty())
            data = commandLineOf(kept.target) + QLatin1Char(' ') + kept.arguments;
        makeRoom(platform, place, trimmed, &old, replace, written.replacedBackup);
        platform.newRegistryStore()->writeTypedStringValue(place.root, place.key, trimmed, data, type);
        written.tag = makeEntryTag(place.root, place.key);
        written.name = trimmed;
    }
    if (sameEntry(old, written))
        return written;
    try {
        removeEntry(platform, old);
    } catch (const std::exception& error) {
        // An old entry that is already gone is what the edit wanted.
        if (entryExists(platform, old))
            throw CoreError(
                QStringLiteral("The new entry was written, but the old one could not be removed: %1")
                    .arg(QString::fromStdString(error.what()))
                    .toStdString());
    }
    return written;
}

} // namespace sw
