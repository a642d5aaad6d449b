#pragma once
// Pictures the program draws itself: the splash and about pictures, the program icon and
// tool-bar icons for desktops whose icon theme lacks them.
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace quarvel::app {

// The 330 x 180 start-up picture.
QPixmap splashPicture();
// The program's emblem: a carved relief under a cutter, square of `size`.
QPixmap programPicture(int size);
QIcon programIcon();
// A theme icon by its freedesktop name, else our own drawing of it.
QIcon toolIcon(const QString& themeName);

}  // namespace quarvel::app
