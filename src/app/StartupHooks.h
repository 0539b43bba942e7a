// Steps of the start-up and exit sequences that later parts of the program fill in.
// The sequences call them in their fixed places; an empty hook means that part is not
// built into this program yet.
#pragma once

#include <functional>
#include <string>

struct TStartupHooks {
  // First showing of the main window.
  std::function<bool(const std::string&)> LoadSkin;  // skin path or "Default"; false on failure
  std::function<void()> BindSkinControlActions;
  std::function<void()> RepaintPlaylist;
  std::function<void()> LoadServerAndEncoderLists;
  std::function<void()> BuildFileDialogFilters;
  std::function<void()> RestartPlugins;  // stop, then start the DSP and general plug-ins
  std::function<void()> BuildPopUpMenus;
  std::function<void()> ApplyRecordingInput;
  std::function<bool()> RegisterGlobalHotkeys;
  // Exit sequence.
  std::function<void()> UnregisterGlobalHotkeys;
  std::function<void()> CaptureSkinnedWindowState;  // window state into the settings records
  std::function<void()> HideSkinnedWindowsAndReleaseSkin;
  std::function<void()> StopPlugins;
  std::function<void()> SaveServerAndEncoderLists;
  std::function<void()> HideOpenURLDialog;
  // Main timer tick (every 400 ms).
  std::function<void()> MainTimerTick;
};

TStartupHooks& StartupHooks();
