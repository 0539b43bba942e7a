// Puts the commands into the running program: the start-up hooks for the global hot keys and
// the pop-up menu, the application-wide shortcut handler, the hot-key event filter, and the
// actions that exist already (clicking a main-window control, closing the main window, the
// update check) where none is installed. Call once after the application object exists.
#pragma once

void InstallCommandHooks();
