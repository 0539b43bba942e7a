// The operations of the preferences page "VIS Plugins": the plug-in list, the information
// display, "Start Plugin" and "Stop Plugin". The page's widgets show this model; what the
// operations do to windows goes through the hooks the player installs.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TVisPluginInformation {
  std::string Format;   // "Plugin Format:"
  std::string Name;     // "Plugin Name:"
  std::string Version;  // "Plugin Version:"
  std::vector<std::string> Memo;  // "The Plugin handles the following Data:"
};
// "Info not available" everywhere, version "0".
TVisPluginInformation EmptyVisPluginInformation();
// Queries the file (the active plug-in is not touched) and fills the display.
TVisPluginInformation VisPluginInformation(const std::string& fullPath);

struct TVisPluginsPage {
  std::vector<std::string> FullPaths;
  std::vector<std::string> Names;  // relative to the visplugins folder, as listed
  int Selected = -1;
  std::string GroupCaption;
  TVisPluginInformation Information = EmptyVisPluginInformation();
};

// What the operations do to windows; empty hooks do nothing.
struct TVisPluginsPageHooks {
  std::function<void()> HideVisualsWindow;            // stops the running plug-in
  std::function<void()> ShowVisualsWindowThroughCanvas;  // governing canvas to 6, then a click
  std::function<bool()> PreferencesVisible;
  std::function<void()> ShowPreferencesOnVisPluginsPage;
  std::function<void()> RepaintDrawingArea;
  std::function<bool()> VideoPlaying;
};
TVisPluginsPageHooks& VisPluginsPageHooks();

// Lists every .svp, selects Options_VisExCurrentPluginName (case ignored) and shows its
// information; the caption counts the entries.
void ShowVisPluginsPage(TVisPluginsPage& page);
// The selection handler (also on click): index -1 selects nothing.
void SelectVisPluginsPageEntry(TVisPluginsPage& page, int index);
// "Start Plugin" (also on double click).
void StartVisPluginsPageEntry(TVisPluginsPage& page);
// "Stop Plugin".
void StopVisPluginsPagePlugin(TVisPluginsPage& page);
