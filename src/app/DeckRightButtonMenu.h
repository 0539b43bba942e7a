// A right-button press on the main window opens the main pop-up menu at the pointer, after
// the window's own handling of the press and only once a skin is loaded. UI thread only.
#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>

// `show` opens the menu at a global position (the program passes ShowMainPopUpMenu).
void OpenPopUpMenuOnRightPress(QWidget& mainWindow, std::function<void(const QPoint& global)> show);
