#include "backup_restore.h"

#include "entries/autostart_entry.h"
#include "entries/entry_actions.h"
#include "platform/language_texts.h"
#include "platform/platform.h"

namespace sw {

namespace {

const QString kRunKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunOnceKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");

template <typename Result, std::size_t N>
Result firstMatch(const LanguageTexts& texts, const QString& label,
                  const std::pair<const char*, Result> (&order)[N], Result none) {
    for (const auto& [key, result] : order)
        if (texts.GetText(QLatin1String(key)) == label)
            return result;
    return none;
}

constexpr auto kNoTarget = "MsgRestoreNoTarget";
constexpr auto kCopyFailed = "MsgRestoreFailed";

RestoreOutcome restoreFile(const Platform& platform, const LanguageTexts& texts, const BackupRow& row) {
    const QString folder = GetStartupFolder(platform, texts, row.placeLabel);
    if (folder.isEmpty())
        throw RestoreFailed(QLatin1String(kNoTarget),
                            "no Startup folder for the group \"" + row.placeLabel.toStdString() + "\"");
    RestoreOutcome outcome;
    outcome.target = folder + QLatin1Char('\\') + row.name;
    try {
        platform.fileSystem->copyFile(row.tag, outcome.target);
    } catch (const std::exception& error) {
        throw RestoreFailed(QLatin1String(kCopyFailed), error.what());
    }
    try {
        platform.fileSystem->removeFile(row.tag);
    } catch (const std::exception& error) {
        outcome.leftBehind = QString::fromStdString(error.what());
    }
    return outcome;
}

RestoreOutcome restoreValue(const Platform& platform, const LanguageTexts& texts, const BackupRow& row) {
    const std::int32_t root = GetRestoreRoot(texts, row.placeLabel);
    const QString keyPath = GetRestoreKey(texts, row.placeLabel);
    if (root == 0 || keyPath.isEmpty())
        throw RestoreFailed(QLatin1String(kNoTarget),
                            "no registry key for the group \"" + row.placeLabel.toStdString() + "\"");
    const auto store = platform.newRegistryStore();
    try {
        store->CopyValue(GetTagRoot(row.tag), GetTagKey(row.tag), row.name, root, keyPath, row.name);
    } catch (const std::exception& error) {
        throw RestoreFailed(QLatin1String(kCopyFailed), error.what());
    }
    RestoreOutcome outcome;
    outcome.target = (root == kHkeyLocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE\\")
                                                : QStringLiteral("HKEY_CURRENT_USER\\")) +
                     keyPath;
    try {
        store->DeleteValue(GetTagRoot(row.tag), GetTagKey(row.tag), row.name);
    } catch (const std::exception& error) {
        outcome.leftBehind = QString::fromStdString(error.what());
    }
    return outcome;
}

} // namespace

QString GetStartupFolder(const Platform& platform, const LanguageTexts& texts, const QString& label) {
    static const std::pair<const char*, int> order[] = {{"SMLocalUsr", kCsidlStartup},
                                                        {"SMAllUsr", kCsidlCommonStartup}};
    const int folder = firstMatch(texts, label, order, 0);
    return folder == 0 ? QString() : platform.system->GetSpecialFolder(folder, false, false);
}

std::int32_t GetRestoreRoot(const LanguageTexts& texts, const QString& label) {
    static const std::pair<const char*, std::int32_t> order[] = {{"AURun", kHkeyLocalMachine},
                                                                 {"AURunOnce", kHkeyLocalMachine},
                                                                 {"LURun", kHkeyCurrentUser},
                                                                 {"LURunOnce", kHkeyCurrentUser}};
    return firstMatch(texts, label, order, std::int32_t(0));
}

QString GetRestoreKey(const LanguageTexts& texts, const QString& label) {
    static const std::pair<const char*, const QString*> order[] = {
        {"AURun", &kRunKey}, {"LURun", &kRunKey}, {"AURunOnce", &kRunOnceKey}, {"LURunOnce", &kRunOnceKey}};
    const QString* key = firstMatch(texts, label, order, static_cast<const QString*>(nullptr));
    return key ? *key : QString();
}

RestoreOutcome restoreBackup(const Platform& platform, const LanguageTexts& texts, const BackupRow& row) {
    ensureWritable(platform);
    return row.isRegistryBackup() ? restoreValue(platform, texts, row) : restoreFile(platform, texts, row);
}

void deleteBackup(const Platform& platform, const BackupRow& row) {
    ensureWritable(platform);
    if (row.isRegistryBackup())
        platform.newRegistryStore()->DeleteValue(GetTagRoot(row.tag), GetTagKey(row.tag), row.name);
    else
        platform.fileSystem->removeFile(row.tag);
}

} // namespace sw
