// The program's icons: the desktop's icon theme where it has one, else the
// SVG icons built into the program.
#pragma once

#include <QIcon>
#include <QString>

// The theme's icon of that name, or the built-in SVG of that file name (under
// icons/, without ".svg") drawn at the sizes tool bars and menus ask for.
QIcon ThemedIcon(const QString& themeName, const QString& builtIn);
// The program's own icon: "tarnel" from the theme (installed in hicolor), or
// the built-in copy.
QIcon ProgramIcon();
// The built-in SVG drawn at exactly size x size device pixels.
QPixmap BuiltInPixmap(const QString& builtIn, int size);
