// The tray icon's menu (TrayControlsPopupMenu): restore the main window, the five transport
// actions and Exit. UI thread only.
#pragma once

#include <QMenu>

// Fills `menu` (emptied first): "Show Zorvane Audio Player", separator, "Previous File",
// "Play Current File", "Pause", "Stop", "Next File", separator, "Exit".
void CreateTrayControlsPopupMenu(QMenu& menu);

// The program's tray menu, built on first use; lives until the application ends.
QMenu& TrayControlsPopupMenu();
