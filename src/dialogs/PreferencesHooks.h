// What the preferences dialog does to the player's windows, installed by the player at
// start-up. An empty hook leaves that extra effect out (the setting is still written).
// UI thread only.
#pragma once

#include <functional>
#include <string>

struct TPreferencesHooks {
  // "Always on Top" on every skinned window.
  std::function<void(bool onTop)> ApplyStayOnTop;
  // "Application Title scrolling": the window title starts again.
  std::function<void()> ResetApplicationTitle;
  // "Default Sliders": balance, pitch, volume, tempo, sample rate, pre-amp and bands to 50.
  std::function<void()> DefaultSliders;
  // Loads a skin (full path or "Default"); false when it failed.
  std::function<bool(const std::string& fullPathOrDefault)> LoadSkin;
  // Unpacks a skin package into a folder (for its readme).
  std::function<bool(const std::string& package, const std::string& folder)> ExtractPackage;
  // The system information dialog.
  std::function<void()> ShowSystemInformation;
  // The folder dialog (title, starting folder); the chosen folder, empty when cancelled. Empty
  // hook: the desktop's folder dialog.
  std::function<std::string(const std::string& title, const std::string& start)> ChooseFolder;
  // Opens a folder in the desktop's file browser.
  std::function<void(const std::string& folder)> OpenFolder;
};

TPreferencesHooks& PreferencesHooks();
