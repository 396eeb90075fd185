#pragma once
// The program's pictures: the icons of the command list (16 x 16), the
// program icon and the dock tile.
#include <QIcon>
#include <QPixmap>

class QObject;

// Number of places in the icon list; 9 and 10 hold no picture.
constexpr int CommandIconCount = 12;

// The icon at an icon-list index; a null icon for -1, the unused places and
// anything out of range.
QIcon CommandIcon(int imageIndex);

// Gives every action below owner that carries an "ImageIndex" property the
// icon of that index (commands without one stay as they are).
void ApplyCommandIcons(QObject* owner);

QIcon ProgramIcon();

// The dock's background tile (27 x 24, sixteen colours) and its resource path
// for style sheets.
QPixmap DockTile();
QString DockTilePath();
