// What the program asks of the desktop: opening a document, folder or web page with the
// user's preferred program, and keeping the screen saver away.
//
// Files dropped on a window are handled by the windows themselves (Qt drop events).
#pragma once

#include <string>

// Opens a document, folder or address with the desktop's preferred program ("xdg-open").
// The program runs detached from ours and the path reaches it as one argument, never through
// a shell. False when the opener could not be started.
bool ShellOpenDocument(const std::string& pathOrUrl);

// flag false: ask the desktop's screen saver (org.freedesktop.ScreenSaver on the session
// bus) to stay off; flag true: withdraw that request. Repeated calls with the same flag do
// nothing more. Without a session bus or a screen-saver service it quietly does nothing.
// Call from the UI thread.
void SetScreenSaverActive(bool flag);
// Whether the screen saver is currently held off by us (for the settings page and tests).
bool IsScreenSaverInhibited();
