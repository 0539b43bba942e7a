#include "plugins/zpdsp_plugins_Loader_API.h"

#include <algorithm>
#include <filesystem>

#include "plugins/PluginFolders.h"
#include "plugins/zpdsp_sdk_header_Loader.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

// Without installed hooks (tests of this layer alone) the switch lives here.
bool g_dspActiveFallback = false;

TDSPPluginShownInformation& ShownInformation() {
  static TDSPPluginShownInformation information;
  return information;
}

bool DSPActive() {
  const auto& hooks = DSPPluginHostHooks();
  return hooks.DSPActive ? hooks.DSPActive() : g_dspActiveFallback;
}

void SetDSPActive(bool on) {
  const auto& hooks = DSPPluginHostHooks();
  if (hooks.SetDSPActive)
    hooks.SetDSPActive(on);
  else
    g_dspActiveFallback = on;
}

void ApplyDSPState() {
  if (const auto& apply = DSPPluginHostHooks().ApplyDSPState) apply();
}

void ShowEmptyInformation() { ShownInformation() = {}; }

void ShowLoadedInformation() {
  std::string name;
  uint32_t version = 0;
  if (DSPPluginInformation(name, version))
    ShownInformation() = {name, std::to_string(version)};
  else
    ShowEmptyInformation();
}

// The folder handed to the plug-in: the program's own, where it may keep its settings.
std::string DSPFolder() { return ProgramFolder() + "/dspplugins/"; }

// The plug-in file the setting names: in the program's folder, else among the bundled ones;
// empty when it is in neither.
std::string FindDSPPluginFile(const std::string& relative) {
  for (const auto& folder : PluginFolders("dspplugins")) {
    const std::string path = folder + "/" + relative;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}

bool IsPluginFileName(const std::string& settingValue) {
  return UpperCaseAscii(ExtractFileName(settingValue)).rfind("ZPDSP_", 0) == 0;
}

// The setting must stay inside the plug-in folder: a stored "../x" is no plug-in of ours.
bool InsideFolder(const std::string& relative) {
  const std::filesystem::path p(relative);
  if (p.is_absolute()) return false;
  for (const auto& part : p)
    if (part == "..") return false;
  return true;
}

}  // namespace

TDSPPluginHostHooks& DSPPluginHostHooks() {
  static TDSPPluginHostHooks hooks;
  return hooks;
}

const TDSPPluginShownInformation& DSPPluginShownInformation() { return ShownInformation(); }

void StopDSPPlugin() {
  // The hook goes first: the plug-in's code must not run once it is released.
  if (Options_LastZPDSPState.BooleanValue) {
    SetDSPActive(false);
    ApplyDSPState();
  }
  UnloadDSPPlugin();
  SetDSPActive(false);
  ShowEmptyInformation();
  Options_LastZPDSPState.BooleanValue = DSPActive();
}

void StartDSPPlugin() {
  const std::string setting = Options_ZPDSPCurrentPluginName.StringValue;
  bool ok = false;
  if (IsPluginFileName(setting) && InsideFolder(setting)) {
    if (DSPPluginLoaded()) {
      if (Options_LastZPDSPState.BooleanValue) {
        SetDSPActive(false);
        ApplyDSPState();
      }
      UnloadDSPPlugin();
    }
    SetDSPActive(false);
    const std::string path = FindDSPPluginFile(setting);
    if (path.empty()) {
      ShowMessage(setting + " was not found.", {}, TMessageIcon::Error);
      ShowEmptyInformation();
    } else if (LoadDSPPlugin(path, DSPFolder(),
                             DSPPluginHostHooks().ParentWindow ? DSPPluginHostHooks().ParentWindow() : nullptr)) {
      SetDSPActive(DSPPluginLoaded());
      ShowLoadedInformation();
      ok = DSPPluginLoaded();
    } else {
      ShowEmptyInformation();
    }
  }
  if (!ok && UpperCaseAscii(setting) != "NONE") {
    ShowMessage("Error: DSP Plugin Error. \rSelect new plugin :", {}, TMessageIcon::Error);
    ShowEmptyInformation();
    const auto& hooks = DSPPluginHostHooks();
    if (hooks.ShowPreferencesPage && !(hooks.PreferencesVisible && hooks.PreferencesVisible()))
      hooks.ShowPreferencesPage("DSP Plugins");
  }
  Options_LastZPDSPState.BooleanValue = DSPActive();
}

std::vector<std::string> DSPPluginList() {
  std::vector<std::string> list{"None"};
  for (const auto& folder : PluginFolders("dspplugins")) {
    std::vector<std::string> files;
    FindFilesInFolderTree(folder, "zpdsp_*.so", files);
    for (const auto& file : files) {
      std::string relative = file;
      if (relative.rfind(folder + "/", 0) == 0) relative.erase(0, folder.size() + 1);
      // A bundled plug-in of the same name is hidden by the program folder's.
      if (std::find(list.begin(), list.end(), relative) == list.end()) list.push_back(relative);
    }
  }
  return list;
}

int DSPPluginListIndexOfSetting(const std::vector<std::string>& list) {
  const std::string wanted = UpperCaseAscii(Options_ZPDSPCurrentPluginName.StringValue);
  for (size_t i = 0; i < list.size(); ++i)
    if (UpperCaseAscii(list[i]) == wanted) return static_cast<int>(i);
  return 0;
}

void SelectDSPPlugin(const std::string& entry) {
  StopDSPPlugin();
  Options_ZPDSPCurrentPluginName.StringValue = entry;
  StartDSPPlugin();
  if (DSPPluginLoaded()) {
    SetDSPActive(true);
    ApplyDSPState();
  }
  Options_LastZPDSPState.BooleanValue = DSPActive();
}

void ConfigureDSPPlugin() { DSPPluginConfig(); }

std::string DSPPluginsGroupCaption(const std::vector<std::string>& list) {
  return "Available DSP Plugins: " + std::to_string(list.size());
}
