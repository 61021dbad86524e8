#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace sw {

// What a shortcut file says, each way of naming the target kept apart. Paths are Windows paths.
struct ShellLink {
    // The target in the reading order: environment block, LinkInfo, IDList, relative path.
    QString target;

    QString environmentTarget; // unexpanded, e.g. "%windir%\system32\x.exe"
    QString linkInfoTarget;    // what Wine starts
    QString idListTarget;      // what the Windows shell starts
    QString relativePath;      // as stored, relative to the link's folder

    QString description;
    QString workingDir;
    QString arguments;
    QString iconLocation;
    std::int32_t iconIndex = 0;
    std::int32_t showCommand = 1;
    std::uint32_t flags = 0;

    // An installer-advertised link: it names a product, not a file, so target stays empty.
    bool advertised = false;
    // A part ran past the end of the file or held sizes that do not fit; what came before it is kept.
    bool damaged = false;
};

// Parses .lnk bytes. linkFolder, the Windows folder holding the link, resolves a relative-only
// target; without it the relative path is the target as stored. Throws ShortcutError when the
// bytes are no shortcut (short, wrong header size or class id); damage after the header is
// tolerated and reported through ShellLink::damaged.
ShellLink parseShellLink(const QByteArray& bytes, const QString& linkFolder = {});

struct ShellLinkOptions {
    QString description;
    QString arguments;
    QString workingDir;
    QString iconLocation;
    std::int32_t iconIndex = 0;
    std::int32_t showCommand = 1;
};

// Builds a link to windowsTarget. A drive path ("C:\...") gets an IDList and a LinkInfo with the
// ANSI and the Unicode local path; anything else (UNC, %VAR% or relative paths) gets the
// environment block, which the Windows shell prefers, plus a LinkInfo holding the text for Wine.
// Throws ShortcutError for an empty target.
QByteArray buildShellLink(const QString& windowsTarget, const ShellLinkOptions& options = {});

// Joins a stored relative path ("..\bin\x.exe") to a Windows folder.
QString resolveRelativePath(const QString& folder, const QString& relative);

} // namespace sw
