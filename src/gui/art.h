#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace sw {

// The program's own pictures, by the keys the windows use: the program icon "AA"; the toolbar images
// "add", "activate", "edit", "remove", "run", "refresh", "folderlist", "details", "send", "backup",
// "help"; the tree images "all users", "local user", "startmenu", "reg", "services", "link", "folder"; the
// program placeholders "unknow" (16 px), "UNKNOW" and "CORRUPTED" (32 px); the rating strips
// "NORMAL" and "RISK"; and "weblink" and "background" of the information panel. Keys are
// case-sensitive ("unknow" and "UNKNOW" are different pictures).

// Every key, in the order above.
QStringList artKeys();

// The resource path of a key's drawing, or an empty text for an unknown key.
QString artPath(const QString& key);

// The key's drawing as an icon that scales to any size; a null icon for an unknown key.
QIcon artIcon(const QString& key);

// The key's drawing rendered into exactly `size` pixels (stretched when the aspect differs); a null
// pixmap for an unknown key or an empty size.
QPixmap artPixmap(const QString& key, QSize size);

} // namespace sw
