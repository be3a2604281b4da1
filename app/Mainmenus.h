// The main window's menus, the row's context menu and the tool bar: every
// command with its caption, shortcut, icon and handler, in one table each.
#pragma once

#include "app/Frmmain.h"

void BuildMainMenus(TwndMain& w);
