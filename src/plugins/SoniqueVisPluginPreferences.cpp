#include "plugins/SoniqueVisPluginPreferences.h"

#include "plugins/SoniqueVisPlugin_API.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

bool HasSvpExtension(const std::string& path) { return UpperCaseAscii(ExtractFileExt(path)) == ".SVP"; }

void Run(const std::function<void()>& hook) {
  if (hook) hook();
}

}  // namespace

TVisPluginInformation EmptyVisPluginInformation() {
  return {"Info not available", "Info not available", "0", {"Info not available"}};
}

TVisPluginInformation VisPluginInformation(const std::string& fullPath) {
  const TQueriedVisPluginInfo queried = QueryVisPluginInfo(fullPath);
  TVisPluginInformation info;
  info.Format = HasSvpExtension(fullPath) ? "Sonique Visual Plugin" : "Unknown Visual Plugin Type";
  info.Name = queried.PluginName;
  info.Version = std::to_string(queried.Version);
  info.Memo = {queried.RequiredData & 1 ? "- WaveForm Data" : "", queried.RequiredData & 2 ? "- Spectrum Data" : "",
               queried.RequiredData & 4 ? "- Player Vis Proc Data" : "",
               queried.Version != 0 ? "- Button Clicks Supported" : "- Button Clicks NOT Supported"};
  return info;
}

TVisPluginsPageHooks& VisPluginsPageHooks() {
  static TVisPluginsPageHooks hooks;
  return hooks;
}

void ShowVisPluginsPage(TVisPluginsPage& page) {
  page.FullPaths = FindVisPluginFiles();
  page.Names.clear();
  page.Selected = -1;
  for (size_t i = 0; i < page.FullPaths.size(); ++i) {
    page.Names.push_back(VisPluginRelativeName(page.FullPaths[i]));
    if (page.Selected < 0 && SameText(page.Names.back(), Options_VisExCurrentPluginName.StringValue))
      page.Selected = static_cast<int>(i);
  }
  SelectVisPluginsPageEntry(page, page.Selected);
  page.GroupCaption = "Available Visualization Plugins: " + std::to_string(page.FullPaths.size());
}

void SelectVisPluginsPageEntry(TVisPluginsPage& page, int index) {
  page.Selected = index >= 0 && static_cast<size_t>(index) < page.FullPaths.size() ? index : -1;
  if (page.Selected >= 0) page.Information = VisPluginInformation(page.FullPaths[static_cast<size_t>(page.Selected)]);
}

void StartVisPluginsPageEntry(TVisPluginsPage& page) {
  if (page.Selected < 0 || static_cast<size_t>(page.Selected) >= page.FullPaths.size()) return;
  const std::string path = page.FullPaths[static_cast<size_t>(page.Selected)];
  const TVisPluginsPageHooks& hooks = VisPluginsPageHooks();
  if (!HasSvpExtension(path)) {
    ShowMessage("Error: The plugin's extension is not .svp. \rSelect new plugin :", {}, TMessageIcon::Error);
    page.Information = EmptyVisPluginInformation();
    if (!(hooks.PreferencesVisible && hooks.PreferencesVisible())) Run(hooks.ShowPreferencesOnVisPluginsPage);
    return;
  }
  Run(hooks.HideVisualsWindow);
  Options_VisExCurrentPluginName.StringValue = VisPluginRelativeName(path);
  Run(hooks.ShowVisualsWindowThroughCanvas);
  if (!SoniqueVisPluginStatus().InfoPresent) {
    StopVisPlugin();
    ShowMessage(path + " was not found.", {}, TMessageIcon::Error);
    page.Information = EmptyVisPluginInformation();
  }
  if (hooks.VideoPlaying && hooks.VideoPlaying()) StopVisPlugin();
}

void StopVisPluginsPagePlugin(TVisPluginsPage& page) {
  StopVisPlugin();
  page.Information = EmptyVisPluginInformation();
  Run(VisPluginsPageHooks().RepaintDrawingArea);
}
