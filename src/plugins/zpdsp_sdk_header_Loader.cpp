#include "plugins/zpdsp_sdk_header_Loader.h"

#include <dlfcn.h>

#include <cstddef>
#include <sched.h>

#include <atomic>

#include "plugins/PluginCallGuard.h"
#include "plugins/PluginLibraryChecks.h"
#include "plugins/PluginMemoryGuard.h"
#include "util/ShowMessage.h"

// The records keep their fields in the given order in natural C layout: 8-byte pointers.
static_assert(sizeof(void*) != 8 || (offsetof(Tzpdsp_plugin_structure, dsp_plugin_Info) == 16 &&
                                     offsetof(Tzpdsp_plugin_structure, dsp_plugin_DSP_Proc) == 40 &&
                                     offsetof(Tzpdsp_plugin_structure, dsp_plugin_LoadSettings) == 80 &&
                                     sizeof(Tzpdsp_plugin_structure) == 88 && sizeof(Tzpdsp_plugin_INFO) == 24));

TKELDAR_dsp_PLUGIN_DLL_Table& KELDAR_dsp_PLUGIN_DLL_Table() {
  static TKELDAR_dsp_PLUGIN_DLL_Table table;
  return table;
}

namespace {

// What the processing thread sees of the loaded plug-in: its sample entry, published after
// a successful load and withdrawn before the library goes, and how many calls are inside it.
std::atomic<zpdsp_DSP_Procedure> g_process{nullptr};
std::atomic<int> g_processCallsInside{0};
std::atomic<bool> g_unusable{false};

tKELDAR_dsp_PLUGIN_API_LOADED_DLL_Structure* Loaded() {
  auto& records = KELDAR_dsp_PLUGIN_DLL_Table().KELDAR_dsp_PLUGIN_DLL_Record;
  if (records.empty() || !records.front()) return nullptr;
  auto* record = records.front().get();
  return record->PLUGIN_Initialized && record->PLUGIN_DLL_Export_Interface ? record : nullptr;
}

// The plug-in's structure copied through the guard; false when nothing usable is loaded.
bool CopyInterface(Tzpdsp_plugin_structure& copy) {
  auto* record = Loaded();
  if (record == nullptr || g_unusable.load()) return false;
  return CopyFromPluginMemory(&copy, record->PLUGIN_DLL_Export_Interface, sizeof copy);
}

// Runs a void entry under the guard; a crash marks the plug-in unusable.
template <typename Call>
void GuardedProcedure(Call&& call) {
  if (RunGuardedPluginCall(std::forward<Call>(call)) == TPluginCallResult::Crashed) {
    g_unusable = true;
    g_process = nullptr;
  }
}

// The structure a library hands over is taken only when its required entries are there and
// its name ends where it must.
bool AcceptableStructure(const Tzpdsp_plugin_structure& plugin) {
  if (plugin.dsp_plugin_Initialize == nullptr || plugin.dsp_plugin_Close == nullptr ||
      plugin.dsp_plugin_Info == nullptr)
    return false;
  Tzpdsp_plugin_INFO info{};
  std::string name;
  return CopyFromPluginMemory(&info, plugin.dsp_plugin_Info, sizeof info) &&
         ReadPluginName(info.dsp_plugin_Name, name);
}

void ReleaseSlot(void* module) {
  if (module != nullptr) dlclose(module);
  auto& table = KELDAR_dsp_PLUGIN_DLL_Table();
  table.KELDAR_dsp_PLUGIN_DLL_Record.clear();
  table.KELDAR_dsp_PLUGIN_DLL_TotalInTable = 0;
}

}  // namespace

bool LoadDSPPlugin(const std::string& pathArgument, const std::string& folder, void* parentWindow) {
  const std::string path = pathArgument;  // may be the record's own text
  UnloadDSPPlugin();
  auto& table = KELDAR_dsp_PLUGIN_DLL_Table();
  auto record = std::make_unique<tKELDAR_dsp_PLUGIN_API_LOADED_DLL_Structure>();
  void* module = nullptr;
  auto* plugin = static_cast<Tzpdsp_plugin_structure*>(OpenPluginLibrary(path, ZPDSP_EXPORT_NAME, module));
  Tzpdsp_plugin_structure copy{};
  bool ok = plugin != nullptr && CopyFromPluginMemory(&copy, plugin, sizeof copy) &&
            AcceptableStructure(copy) &&
            RunGuardedPluginCall([&] {
              plugin->dsp_hwndParent = parentWindow;
              plugin->dsp_hDllInstance = module;
            }) == TPluginCallResult::Completed;
  if (ok) {
    record->PLUGIN_FullPathAndFilename = path;
    record->PLUGIN_ModuleHandle = module;
    record->PLUGIN_DLL_Export_Interface = plugin;
    table.KELDAR_dsp_PLUGIN_DLL_Record.push_back(std::move(record));
    table.KELDAR_dsp_PLUGIN_DLL_TotalInTable = 1;
    g_unusable = false;
    // A crash inside counts as the failure result.
    int32_t result = KELDAR_DSP_PLUGIN_FAILURE;
    const std::string folderText = folder;
    RunGuardedPluginCall(result, [&] { return copy.dsp_plugin_Initialize(folderText.c_str()); });
    ok = result == ZPDSP_RESULT_SUCCESS;
    if (ok) {
      auto* loaded = table.KELDAR_dsp_PLUGIN_DLL_Record.front().get();
      loaded->PLUGIN_Initialized = true;
      if (copy.dsp_plugin_LoadSettings != nullptr) GuardedProcedure([&] { copy.dsp_plugin_LoadSettings(); });
      if (!g_unusable) g_process = copy.dsp_plugin_DSP_Proc;
    }
  }
  if (ok && !g_unusable) return true;
  g_process = nullptr;
  ReleaseSlot(module);
  g_unusable = false;
  ShowMessage("Error Loading dsp plugin: " + path, {}, TMessageIcon::Error);
  return false;
}

void UnloadDSPPlugin() {
  auto& records = KELDAR_dsp_PLUGIN_DLL_Table().KELDAR_dsp_PLUGIN_DLL_Record;
  if (records.empty()) return;
  // The processing thread lets go of the plug-in before its code goes away.
  g_process = nullptr;
  while (g_processCallsInside.load() != 0) sched_yield();
  void* module = nullptr;
  if (auto& record = records.front()) {
    module = record->PLUGIN_ModuleHandle;
    Tzpdsp_plugin_structure copy{};
    if (record->PLUGIN_Initialized && module != nullptr && CopyInterface(copy)) {
      if (copy.dsp_plugin_SaveSettings != nullptr) GuardedProcedure([&] { copy.dsp_plugin_SaveSettings(); });
      record->PLUGIN_Initialized = false;
      if (!g_unusable && copy.dsp_plugin_Close != nullptr) GuardedProcedure([&] { copy.dsp_plugin_Close(); });
    }
    record->PLUGIN_Initialized = false;
  }
  ReleaseSlot(module);
  g_unusable = false;
}

bool DSPPluginLoaded() { return Loaded() != nullptr; }

void DSPPluginConfig() {
  Tzpdsp_plugin_structure copy{};
  if (CopyInterface(copy) && copy.dsp_plugin_Config != nullptr) GuardedProcedure([&] { copy.dsp_plugin_Config(); });
}

void DSPPluginCreateEffect(uint32_t channel) {
  Tzpdsp_plugin_structure copy{};
  if (CopyInterface(copy) && copy.dsp_plugin_BASS_CreateEffect != nullptr)
    GuardedProcedure([&] { copy.dsp_plugin_BASS_CreateEffect(channel); });
}

void DSPPluginStopEffect(uint32_t channel) {
  Tzpdsp_plugin_structure copy{};
  if (CopyInterface(copy) && copy.dsp_plugin_BASS_StopEffect != nullptr)
    GuardedProcedure([&] { copy.dsp_plugin_BASS_StopEffect(channel); });
}

void DSPPluginProcess(void* buffer, uint32_t length, uint32_t sampleRate, uint32_t channels,
                      uint32_t bytesPerSample) {
  // Counted before the entry is read, so an unload that withdrew it waits for us.
  g_processCallsInside.fetch_add(1);
  if (const zpdsp_DSP_Procedure process = g_process.load()) {
    struct TArguments {
      zpdsp_DSP_Procedure Process;
      void* Buffer;
      uint32_t Length, Rate, Channels, BytesPerSample;
    } arguments{process, buffer, length, sampleRate, channels, bytesPerSample};
    const TArguments* a = &arguments;  // one pointer: the guard's function object stays inline
    if (RunGuardedPluginCall([a] { a->Process(a->Buffer, a->Length, a->Rate, a->Channels, a->BytesPerSample); }) ==
        TPluginCallResult::Crashed) {
      g_unusable = true;
      g_process = nullptr;
    }
  }
  g_processCallsInside.fetch_sub(1);
}

bool DSPPluginUnusable() { return g_unusable.load(); }

bool DSPPluginInformation(std::string& name, uint32_t& version) {
  Tzpdsp_plugin_structure copy{};
  Tzpdsp_plugin_INFO info{};
  if (!CopyInterface(copy) || !CopyFromPluginMemory(&info, copy.dsp_plugin_Info, sizeof info) ||
      !ReadPluginName(info.dsp_plugin_Name, name))
    return false;
  version = info.dsp_plugin_Version;
  return true;
}
