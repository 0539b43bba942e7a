// The main pop-up menu: the preferences page tree, the four window switches, the update
// check and Exit. It opens with a right-button press on the main window. UI thread only.
#pragma once

#include <QAction>
#include <QMenu>
#include <QPoint>
#include <QString>

#include <functional>
#include <span>
#include <string>

#include "dialogs/PreferencesPageTree.h"

extern const char* const kPopUpMenuPagesMissingText;

using TPopupMenuItemAction = std::function<void(QAction& entry)>;

// Adds an entry with this caption to `parent`; choosing it runs `action` with the entry.
QAction* CreatePopupMenuItem(QMenu& parent, const QString& caption, TPopupMenuItemAction action);

// The page an entry opens: its caption with the first "&" removed.
std::string PreferencesPageOfCaption(const QString& caption);
// Shows the preferences dialog on the entry's page.
void MyShow(QAction& entry);

// Fills `menu` (emptied first) from the tree: top-level nodes are entries, or submenus when
// they have children; a separator after the first node; separator, "Equalizer",
// "Playlist Editor", "Visuals Screen", "CD Database", separator before the last node; then
// "Check for Updates", separator, "Exit". A tree without "VIS Plugins", "DSP Plugins",
// "Encoders Options" or "Help" gets the error message; the menu is built all the same.
// Leaves the preferences dialog on its first page.
void CreatePopUpMenus(QMenu& menu, std::span<const TPreferencesPageNode> tree = PreferencesPageTree());

// The program's main pop-up menu (built on first use; lives until the application ends).
QMenu& MainPopUpMenu();
// Builds it (again) from the page tree; the start-up hook.
void BuildMainPopUpMenu();
void ShowMainPopUpMenu(const QPoint& globalPosition);
