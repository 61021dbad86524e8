#pragma once

#include "platform/shortcut_file.h"
#include "platform/wine/shell_link.h"

#include <functional>

namespace sw {

// ShortcutFile over real .lnk files. Link paths are managed-system paths; toHostPath maps them
// to the host file (empty when it cannot). Targets stay Windows paths.
class LnkShortcutFile : public ShortcutFile {
public:
    using PathMapper = std::function<QString(const QString&)>;

    explicit LnkShortcutFile(PathMapper toHostPath);

    void createShortcut(const QString& linkPath, const ShortcutInfo& info) override;
    QString getTarget() const override;
    QString getArguments() const override { return m_link.arguments; }
    ShortcutInfo getInfo() const override;
    void loadShortcut(const QString& linkPath) override;

    // Everything the last loaded link holds, for callers that want more than the target.
    const ShellLink& link() const { return m_link; }

    // Larger files are no shortcuts; real ones stay below a few KB.
    static constexpr qint64 kMaxFileSize = 1 << 20;

private:
    QString hostPathOf(const QString& linkPath) const;

    PathMapper m_toHostPath;
    ShellLink m_link;
};

} // namespace sw
