// System-wide hot keys: the keyboard's media keys grabbed on the X11 root window, so they
// reach the player whichever program has the focus. Without an X11 connection (off-screen,
// Wayland) registration fails. UI thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <span>

struct TGlobalHotkey {
  int Id;
  int VirtualKey;
  std::uint32_t KeySym;  // the X11 key symbol grabbed for it
};
// Ids 1 to 6 in registration order: previous, play/pause, stop, next, volume up, volume down.
std::span<const TGlobalHotkey> GlobalHotkeyTable();

extern const char* const kGlobalHotkeysFailedText;

// Only when Options_EnableWideHotkeysSupport is set: grabs ids 1 to 6 in order, without
// modifier keys (Caps Lock and Num Lock do not matter). Any failure releases the ones that
// succeeded and shows kGlobalHotkeysFailedText. True only when all six are grabbed.
// `window` chooses the screen (null: the default screen).
bool RegisterGlobalHotkeys(QWidget* window);
// Releases ids 1 to 6 when they are registered.
void UnregisterGlobalHotkeys(QWidget* window);
bool GlobalHotkeysRegistered();

// The hot-key handler: 1 Previous; 2 Pause when playing or paused, else Play; 3 Stop;
// 4 Next; 5 volume + 5; 6 volume - 5. Other ids do nothing.
void HandleGlobalHotkey(int id);

// Delivers the grabbed key presses to HandleGlobalHotkey (a native event filter on the
// application; installing twice keeps one).
void InstallGlobalHotkeyEventFilter();
void RemoveGlobalHotkeyEventFilter();
