#include "plugins/zpgen_plugins_Loader_API.h"

#include <algorithm>

#include "plugins/PluginFolders.h"
#include "plugins/zpdsp_plugins_Loader_API.h"
#include "plugins/zpgen_sdk_header_Loader.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

namespace {
std::string GENFolder() { return ProgramFolder() + "/genplugins/"; }
}  // namespace

void StartGENPlugins() {
  auto& table = KELDAR_gen_PLUGIN_DLL_Table();
  table.KELDAR_gen_PLUGIN_DLL_TotalInTable = 0;
  // Name order within a folder; a bundled plug-in of the same name as one in the program
  // folder is hidden by it.
  std::vector<std::string> files, names;
  for (const auto& folder : PluginFolders("genplugins")) {
    std::vector<std::string> here;
    FindFilesInFolder(folder, "zpgen_*.so", here);
    std::sort(here.begin(), here.end());
    for (const auto& file : here) {
      const std::string name = ExtractFileName(file);
      if (std::find(names.begin(), names.end(), name) != names.end()) continue;
      names.push_back(name);
      files.push_back(file);
    }
  }
  void* parent = DSPPluginHostHooks().ParentWindow ? DSPPluginHostHooks().ParentWindow() : nullptr;
  for (const auto& file : files) {
    const int slot = table.KELDAR_gen_PLUGIN_DLL_TotalInTable;
    auto& records = table.KELDAR_gen_PLUGIN_DLL_Record;
    records.resize(static_cast<size_t>(slot) + 1);
    if (!LoadGENPlugin(slot, file, parent)) continue;  // the slot is reused by the next file
    GENPluginInitialize(slot, GENFolder());
    ++table.KELDAR_gen_PLUGIN_DLL_TotalInTable;
  }
  table.KELDAR_gen_PLUGIN_DLL_Record.resize(static_cast<size_t>(table.KELDAR_gen_PLUGIN_DLL_TotalInTable));
}

void StopGENPlugins() {
  auto& table = KELDAR_gen_PLUGIN_DLL_Table();
  while (!table.KELDAR_gen_PLUGIN_DLL_Record.empty()) {
    const int last = static_cast<int>(table.KELDAR_gen_PLUGIN_DLL_Record.size()) - 1;
    table.KELDAR_gen_PLUGIN_DLL_TotalInTable = last;
    UnloadGENPlugin(last);
    table.KELDAR_gen_PLUGIN_DLL_Record.pop_back();
  }
  table.KELDAR_gen_PLUGIN_DLL_TotalInTable = 0;
}

std::vector<std::string> GENPluginLines() {
  std::vector<std::string> lines;
  const auto& records = KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_Record;
  for (const auto& record : records) {
    if (!record) continue;
    std::string line = record->PLUGIN_FullPathAndFilename;
    const std::string marker = "GENPLUGINS/";
    const size_t at = UpperCaseAscii(line).find(marker);
    if (at != std::string::npos) line.erase(0, at + marker.size());
    lines.push_back(line);
  }
  return lines;
}

std::string GENPluginsGroupCaption() {
  return "Available Generic Plugins: " + std::to_string(KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_TotalInTable);
}

void ConfigureGENPlugin(int index) { GENPluginConfig(index); }
