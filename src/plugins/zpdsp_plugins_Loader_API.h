// The host operations on the DSP plug-in that start-up, exit and the preferences page "DSP
// Plugins" call: start, stop, choose another one, configure, and what the page shows. UI
// thread only. The engine's DSP switch and the preferences dialog are reached through hooks
// that the program installs at start-up.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TDSPPluginHostHooks {
  // The engine's DSP-active switch and the operation that attaches or detaches the feeder.
  std::function<bool()> DSPActive;
  std::function<void(bool)> SetDSPActive;
  std::function<void()> ApplyDSPState;
  // The preferences dialog: whether it is showing, and showing it on a page.
  std::function<bool()> PreferencesVisible;
  std::function<void(const std::string& page)> ShowPreferencesPage;
  // The main window handed to plug-ins as their parent.
  std::function<void*()> ParentWindow;
};
TDSPPluginHostHooks& DSPPluginHostHooks();

// What the preferences show about the loaded plug-in.
struct TDSPPluginShownInformation {
  std::string Name = "Info NOT available";
  std::string Version = "0";
};
const TDSPPluginShownInformation& DSPPluginShownInformation();

// Loads the plug-in named by Options_ZPDSPCurrentPluginName; failures are reported and leave
// the player without DSP. Options_LastZPDSPState follows the outcome.
void StartDSPPlugin();
// Detaches the feeder (when DSP was on), unloads the plug-in; Options_LastZPDSPState = false.
void StopDSPPlugin();

// ---- the preferences page ----
// "None" first, then every zpdsp_*.so under the "dspplugins" folders (the program's, then the
// bundled ones; sub-folders too), relative to its folder.
std::vector<std::string> DSPPluginList();
// The index in that list of the entry the setting names (case ignored); 0 ("None") otherwise.
int DSPPluginListIndexOfSetting(const std::vector<std::string>& list);
// Stop, store the entry, start, and switch DSP on when the new plug-in is active.
void SelectDSPPlugin(const std::string& entry);
// "Configure": the loaded plug-in's configuration dialog.
void ConfigureDSPPlugin();
// "Available DSP Plugins: " + the number of entries in the list.
std::string DSPPluginsGroupCaption(const std::vector<std::string>& list);
