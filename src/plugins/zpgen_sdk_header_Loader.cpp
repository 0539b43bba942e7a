#include "plugins/zpgen_sdk_header_Loader.h"

#include <dlfcn.h>

#include <cstddef>

#include "plugins/PluginCallGuard.h"
#include "plugins/PluginLibraryChecks.h"
#include "plugins/PluginMemoryGuard.h"
#include "util/ShowMessage.h"

// The records keep their fields in the given order in natural C layout: 8-byte pointers.
static_assert(sizeof(void*) != 8 || (offsetof(Tzpgen_plugin_structure, gen_plugin_Info) == 16 &&
                                     offsetof(Tzpgen_plugin_structure, gen_plugin_Close) == 40 &&
                                     sizeof(Tzpgen_plugin_structure) == 48 && sizeof(Tzpgen_plugin_INFO) == 24));

TKELDAR_gen_PLUGIN_DLL_Table& KELDAR_gen_PLUGIN_DLL_Table() {
  static TKELDAR_gen_PLUGIN_DLL_Table table;
  return table;
}

namespace {

tKELDAR_gen_PLUGIN_API_LOADED_DLL_Structure* Record(int slot) {
  auto& records = KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_Record;
  if (slot < 0 || static_cast<size_t>(slot) >= records.size()) return nullptr;
  return records[static_cast<size_t>(slot)].get();
}

bool CopyInterface(int slot, Tzpgen_plugin_structure& copy) {
  auto* record = Record(slot);
  if (record == nullptr || record->PLUGIN_Unusable || record->PLUGIN_DLL_Export_Interface == nullptr)
    return false;
  return CopyFromPluginMemory(&copy, record->PLUGIN_DLL_Export_Interface, sizeof copy);
}

template <typename Call>
bool GuardedEntry(int slot, Call&& call) {
  const TPluginCallResult outcome = RunGuardedPluginCall(std::forward<Call>(call));
  if (outcome == TPluginCallResult::Crashed)
    if (auto* record = Record(slot)) record->PLUGIN_Unusable = true;
  return outcome == TPluginCallResult::Completed;
}

bool AcceptableStructure(const Tzpgen_plugin_structure& plugin) {
  if (plugin.gen_plugin_Initialize == nullptr || plugin.gen_plugin_Close == nullptr ||
      plugin.gen_plugin_Info == nullptr)
    return false;
  Tzpgen_plugin_INFO info{};
  std::string name;
  return CopyFromPluginMemory(&info, plugin.gen_plugin_Info, sizeof info) &&
         ReadPluginName(info.gen_plugin_Name, name);
}

}  // namespace

bool LoadGENPlugin(int slot, const std::string& pathArgument, void* parentWindow) {
  if (slot < 0) return false;
  const std::string path = pathArgument;
  auto& records = KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_Record;
  if (static_cast<size_t>(slot) < records.size() && records[static_cast<size_t>(slot)]) UnloadGENPlugin(slot);
  if (static_cast<size_t>(slot) >= records.size()) records.resize(static_cast<size_t>(slot) + 1);

  void* module = nullptr;
  auto* plugin = static_cast<Tzpgen_plugin_structure*>(OpenPluginLibrary(path, ZPGEN_EXPORT_NAME, module));
  Tzpgen_plugin_structure copy{};
  if (plugin != nullptr && CopyFromPluginMemory(&copy, plugin, sizeof copy) && AcceptableStructure(copy) &&
      RunGuardedPluginCall([&] {
        plugin->gen_hwndParent = parentWindow;
        plugin->gen_hDllInstance = module;
      }) == TPluginCallResult::Completed) {
    auto record = std::make_unique<tKELDAR_gen_PLUGIN_API_LOADED_DLL_Structure>();
    record->PLUGIN_FullPathAndFilename = path;
    record->PLUGIN_ModuleHandle = module;
    record->PLUGIN_DLL_Export_Interface = plugin;
    record->PLUGIN_Initialized = true;
    records[static_cast<size_t>(slot)] = std::move(record);
    return true;
  }
  if (module != nullptr) dlclose(module);
  records[static_cast<size_t>(slot)].reset();
  ShowMessage("Error Loading gen plugin: " + path, {}, TMessageIcon::Error);
  return false;
}

void UnloadGENPlugin(int slot) {
  auto* record = Record(slot);
  if (record == nullptr) return;
  Tzpgen_plugin_structure copy{};
  if (record->PLUGIN_Initialized && CopyInterface(slot, copy)) {
    record->PLUGIN_Initialized = false;
    GuardedEntry(slot, [&] { copy.gen_plugin_Close(); });
  }
  if (record->PLUGIN_ModuleHandle != nullptr) dlclose(record->PLUGIN_ModuleHandle);
  KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_Record[static_cast<size_t>(slot)].reset();
}

int32_t GENPluginInitialize(int slot, const std::string& folder) {
  Tzpgen_plugin_structure copy{};
  if (!CopyInterface(slot, copy)) return ZPGEN_RESULT_FAILURE;
  int32_t result = ZPGEN_RESULT_FAILURE;
  const TPluginCallResult outcome =
      RunGuardedPluginCall(result, [&] { return copy.gen_plugin_Initialize(folder.c_str()); });
  if (outcome == TPluginCallResult::Crashed) Record(slot)->PLUGIN_Unusable = true;
  return outcome == TPluginCallResult::Completed ? result : ZPGEN_RESULT_FAILURE;
}

void GENPluginConfig(int slot) {
  Tzpgen_plugin_structure copy{};
  if (CopyInterface(slot, copy) && copy.gen_plugin_Config != nullptr)
    GuardedEntry(slot, [&] { copy.gen_plugin_Config(); });
}

bool GENPluginInformation(int slot, std::string& name, uint32_t& version) {
  Tzpgen_plugin_structure copy{};
  Tzpgen_plugin_INFO info{};
  if (!CopyInterface(slot, copy) || !CopyFromPluginMemory(&info, copy.gen_plugin_Info, sizeof info) ||
      !ReadPluginName(info.gen_plugin_Name, name))
    return false;
  version = info.gen_plugin_Version;
  return true;
}
