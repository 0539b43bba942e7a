#include "plugins/zpinput_plugins_Loader_API.h"

#include <dlfcn.h>

#include <algorithm>
#include <optional>
#include <filesystem>
#include <set>
#include <system_error>

#include "plugins/PluginCallGuard.h"
#include "plugins/PluginFolders.h"
#include "plugins/PluginMemoryGuard.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

TKELDAR_input_PLUGIN_DLL_Table& KELDAR_input_PLUGIN_DLL_Table() {
  static TKELDAR_input_PLUGIN_DLL_Table table;
  return table;
}

namespace {

constexpr size_t kMaxPluginText = 256;

tKELDAR_input_PLUGIN_API_LOADED_DLL_Structure* Record(int slot) {
  auto& records = KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record;
  if (slot < 0 || static_cast<size_t>(slot) >= records.size()) return nullptr;
  return records[static_cast<size_t>(slot)].get();
}

// A copy of the plug-in's structure taken through the guard, so a bad pointer never
// crashes us; null when the slot is not usable.
bool CopyInterface(int slot, Tzpinput_plugin_structure& copy) {
  auto* record = Record(slot);
  if (record == nullptr || !record->PLUGIN_Initialized || record->PLUGIN_Unusable ||
      record->PLUGIN_DLL_Export_Interface == nullptr)
    return false;
  return CopyFromPluginMemory(&copy, record->PLUGIN_DLL_Export_Interface, sizeof copy);
}

bool CopyInfo(const Tzpinput_plugin_structure& plugin, Tzpinput_plugin_INFO& info) {
  return plugin.input_plugin_Info != nullptr &&
         CopyFromPluginMemory(&info, plugin.input_plugin_Info, sizeof info);
}

struct TDeclaredFormat {
  std::string UpperExtension;
  std::string Description;
  std::string Extension;  // as the plug-in spells it
};

// The plug-in's formats; false when its records cannot be read.
bool ReadFormats(const Tzpinput_plugin_structure& plugin, Tzpinput_plugin_INFO& info,
                 std::vector<TDeclaredFormat>& formats) {
  formats.clear();
  if (!CopyInfo(plugin, info)) return false;
  uint32_t count = std::min<uint32_t>(info.input_plugin_FormatsNumber, ZPINPUT_MAX_FORMATS);
  if (count == 0) return true;
  Tzpinput_plugin_Format_Record records[ZPINPUT_MAX_FORMATS];
  if (!CopyFromPluginMemory(records, info.input_plugin_PFormatsArray,
                            sizeof(Tzpinput_plugin_Format_Record) * count))
    return false;
  for (uint32_t i = 0; i < count; ++i) {
    std::string description, extension;
    if (records[i].input_plugin_FormatExtension == nullptr) continue;  // unused entry
    if (!ReadPluginString(records[i].input_plugin_FormatExtension, extension, kMaxPluginText))
      return false;
    ReadPluginString(records[i].input_plugin_FormatDescription, description, kMaxPluginText);
    formats.push_back({UpperCaseAscii(extension), description, extension});
  }
  return true;
}

// The extensions each slot's plug-in declared, read once after it loaded: the table is the
// plug-in's fixed declaration, and reading it through the guard costs system calls, which a
// lookup for every entry of a large playlist cannot afford.
std::vector<std::optional<std::vector<std::string>>>& DeclaredExtensions() {
  static std::vector<std::optional<std::vector<std::string>>> cache;
  return cache;
}

// Runs one entry of the slot's plug-in under the guard; a crash marks the plug-in unusable.
template <typename Result, typename Call>
bool GuardedEntry(int slot, Result& result, Call&& call) {
  const TPluginCallResult outcome = RunGuardedPluginCall(result, std::forward<Call>(call));
  if (outcome == TPluginCallResult::Crashed)
    if (auto* record = Record(slot)) record->PLUGIN_Unusable = true;
  return outcome == TPluginCallResult::Completed;
}

bool HasInputPluginName(const std::string& name) {
  if (name.size() < 12 || name.rfind("zpinput_", 0) != 0) return false;
  return UpperCaseAscii(name.substr(name.size() - 3)) == ".SO";
}

}  // namespace

bool LoadInputPlugin(int slot, const std::string& pathArgument, void* parentWindow) {
  if (slot < 0) return false;
  // The caller may pass the path held by the very record we are about to release.
  const std::string path = pathArgument;
  auto& table = KELDAR_input_PLUGIN_DLL_Table();
  auto& records = table.KELDAR_input_PLUGIN_DLL_Record;
  if (static_cast<size_t>(slot) < records.size() && records[static_cast<size_t>(slot)])
    UnloadInputPlugin(slot);
  if (static_cast<size_t>(slot) >= records.size()) records.resize(static_cast<size_t>(slot) + 1);
  DeclaredExtensions().clear();

  auto record = std::make_unique<tKELDAR_input_PLUGIN_API_LOADED_DLL_Structure>();
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  Tzpinput_plugin_structure* plugin = nullptr;
  if (module != nullptr) {
    auto entry = reinterpret_cast<zpinput_Plugin_Interface_Function>(
        dlsym(module, ZPINPUT_EXPORT_NAME));
    if (entry != nullptr &&
        RunGuardedPluginCall(plugin, [&] { return entry(); }) != TPluginCallResult::Completed)
      plugin = nullptr;
  }
  Tzpinput_plugin_structure copy{};
  if (plugin != nullptr && CopyFromPluginMemory(&copy, plugin, sizeof copy) &&
      RunGuardedPluginCall([&] {
        plugin->input_hwndParent = parentWindow;
        plugin->input_hDllInstance = module;
      }) == TPluginCallResult::Completed) {
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

void UnloadInputPlugin(int slot) {
  auto& records = KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record;
  if (slot < 0 || static_cast<size_t>(slot) >= records.size()) return;
  DeclaredExtensions().clear();
  auto& record = records[static_cast<size_t>(slot)];
  if (record && record->PLUGIN_Initialized && record->PLUGIN_ModuleHandle != nullptr) {
    dlclose(record->PLUGIN_ModuleHandle);
    record->PLUGIN_ModuleHandle = nullptr;
    record->PLUGIN_DLL_Export_Interface = nullptr;
    record->PLUGIN_FullPathAndFilename.clear();
    record->PLUGIN_Initialized = false;
  }
  record.reset();
}

int LoadAllInputPlugins(void* parentWindow) {
  UnloadAllInputPlugins();
  auto& table = KELDAR_input_PLUGIN_DLL_Table();
  table.KELDAR_input_PLUGIN_DLL_TotalInTable = 0;
  for (const auto& path : FindInputPluginFiles()) {
    // A failed slot is reused by the next file.
    if (LoadInputPlugin(table.KELDAR_input_PLUGIN_DLL_TotalInTable, path, parentWindow))
      ++table.KELDAR_input_PLUGIN_DLL_TotalInTable;
  }
  table.KELDAR_input_PLUGIN_DLL_Record.resize(
      static_cast<size_t>(table.KELDAR_input_PLUGIN_DLL_TotalInTable));
  return table.KELDAR_input_PLUGIN_DLL_TotalInTable;
}

void UnloadAllInputPlugins() {
  auto& table = KELDAR_input_PLUGIN_DLL_Table();
  for (int slot = static_cast<int>(table.KELDAR_input_PLUGIN_DLL_Record.size()) - 1; slot >= 0;
       --slot)
    UnloadInputPlugin(slot);
  table.KELDAR_input_PLUGIN_DLL_Record.clear();
  table.KELDAR_input_PLUGIN_DLL_TotalInTable = 0;
}

int FindInputPluginForExtension(const std::string& upperCaseExtension) {
  const std::string wanted = UpperCaseAscii(upperCaseExtension);
  const int total = KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable;
  auto& cache = DeclaredExtensions();
  if (cache.size() < static_cast<size_t>(std::max(total, 0))) cache.resize(static_cast<size_t>(total));
  for (int slot = 0; slot < total; ++slot) {
    // A plug-in that crashed is not offered until it is loaded again.
    if (InputPluginUnusable(slot)) continue;
    auto& declared = cache[static_cast<size_t>(slot)];
    if (!declared) {
      Tzpinput_plugin_structure plugin{};
      if (!CopyInterface(slot, plugin)) continue;
      Tzpinput_plugin_INFO info{};
      std::vector<TDeclaredFormat> formats;
      if (!ReadFormats(plugin, info, formats)) return -1;
      declared.emplace();
      for (const auto& format : formats) declared->push_back(format.UpperExtension);
    }
    for (const auto& extension : *declared)
      if (extension == wanted) return slot;
  }
  return -1;
}

int InputPluginType(int slot) {
  Tzpinput_plugin_structure plugin{};
  Tzpinput_plugin_INFO info{};
  if (!CopyInterface(slot, plugin) || !CopyInfo(plugin, info)) return -1;
  if (info.input_plugin_Type > ZPINPUT_TYPE_PICTURE) return -1;
  return static_cast<int>(info.input_plugin_Type);
}

int32_t InputPluginInitialize(int slot) {
  Tzpinput_plugin_structure plugin{};
  if (!CopyInterface(slot, plugin) || plugin.input_plugin_Initialize == nullptr)
    return KELDAR_INPUT_PLUGIN_FAILURE;
  int32_t result = KELDAR_INPUT_PLUGIN_FAILURE;
  if (!GuardedEntry(slot, result, [&] { return plugin.input_plugin_Initialize(); })) return KELDAR_INPUT_PLUGIN_FAILURE;
  return result;
}

int32_t InputPluginLoadData(int slot, const std::string& path) {
  Tzpinput_plugin_structure plugin{};
  if (!CopyInterface(slot, plugin) || plugin.input_plugin_LoadData == nullptr)
    return KELDAR_INPUT_PLUGIN_FAILURE;
  int32_t result = KELDAR_INPUT_PLUGIN_FAILURE;
  if (!GuardedEntry(slot, result, [&] { return plugin.input_plugin_LoadData(path.c_str()); })) return KELDAR_INPUT_PLUGIN_FAILURE;
  return result;
}

int32_t InputPluginSaveData(int slot, const std::string& path, const std::string& destination) {
  Tzpinput_plugin_structure plugin{};
  if (!CopyInterface(slot, plugin) || plugin.input_plugin_SaveData == nullptr)
    return KELDAR_INPUT_PLUGIN_FAILURE;
  int32_t result = KELDAR_INPUT_PLUGIN_FAILURE;
  if (!GuardedEntry(slot, result, [&] { return plugin.input_plugin_SaveData(path.c_str(), destination.c_str()); })) return KELDAR_INPUT_PLUGIN_FAILURE;
  return result;
}

void InputPluginClose(int slot) {
  Tzpinput_plugin_structure plugin{};
  if (!CopyInterface(slot, plugin) || plugin.input_plugin_Close == nullptr) return;
  int unused = 0;
  GuardedEntry(slot, unused, [&] {
    plugin.input_plugin_Close();
    return 0;
  });
}

namespace {
bool CopyDataObject(int slot, zpinput_data_object& object) {
  Tzpinput_plugin_structure plugin{};
  return CopyInterface(slot, plugin) && plugin.input_plugin_DataPointer != nullptr &&
         CopyFromPluginMemory(&object, plugin.input_plugin_DataPointer, sizeof object);
}
}  // namespace

zpinput_byte_stream* InputPluginStream(int slot) {
  zpinput_data_object object{};
  return CopyDataObject(slot, object) ? object.stream : nullptr;
}

zpinput_picture* InputPluginPicture(int slot) {
  zpinput_data_object object{};
  return CopyDataObject(slot, object) ? object.picture : nullptr;
}

bool InputPluginWriteStream(int slot, zpinput_byte_stream* stream, const std::string& bytes) {
  Tzpinput_plugin_structure plugin{};
  zpinput_byte_stream copy{};
  if (!CopyInterface(slot, plugin) || stream == nullptr ||
      !CopyFromPluginMemory(&copy, stream, sizeof copy) || copy.write == nullptr)
    return false;
  if (bytes.empty()) return true;
  int64_t written = -1;
  const char* data = bytes.data();
  const uint64_t size = bytes.size();
  if (!GuardedEntry(slot, written, [&] { return copy.write(stream, data, size); })) return false;
  return written == static_cast<int64_t>(size);
}

bool InputPluginUnusable(int slot) {
  auto* record = Record(slot);
  return record != nullptr && record->PLUGIN_Unusable;
}

std::vector<std::string> InputPluginFolders() { return PluginFolders("inputplugins"); }

std::vector<std::string> FindInputPluginFiles() {
  std::vector<std::string> files;
  std::set<std::string> names;
  for (const auto& folder : InputPluginFolders()) {
    std::vector<std::string> here;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (HasInputPluginName(name) && it->is_regular_file(ec)) here.push_back(name);
    }
    std::sort(here.begin(), here.end());
    for (const auto& name : here)
      if (names.insert(name).second) files.push_back(folder + "/" + name);
  }
  return files;
}

std::vector<TInputPluginFormatRow> DiscoverInputPluginFormats() {
  std::vector<TInputPluginFormatRow> rows;
  auto& table = KELDAR_input_PLUGIN_DLL_Table();
  for (const auto& path : FindInputPluginFiles()) {
    // A slot of its own past the live table, released right after reading.
    const int slot = static_cast<int>(table.KELDAR_input_PLUGIN_DLL_Record.size());
    // The same library already live in the table shares its structure with this load:
    // keep the host's values in it.
    void* liveParent = nullptr;
    for (const auto& live : table.KELDAR_input_PLUGIN_DLL_Record)
      if (live && live->PLUGIN_FullPathAndFilename == path && live->PLUGIN_DLL_Export_Interface) {
        Tzpinput_plugin_structure copy{};
        if (CopyFromPluginMemory(&copy, live->PLUGIN_DLL_Export_Interface, sizeof copy))
          liveParent = copy.input_hwndParent;
      }
    if (!LoadInputPlugin(slot, path, liveParent)) {
      table.KELDAR_input_PLUGIN_DLL_Record.resize(static_cast<size_t>(slot));
      continue;
    }
    Tzpinput_plugin_structure plugin{};
    Tzpinput_plugin_INFO info{};
    std::vector<TDeclaredFormat> formats;
    if (CopyInterface(slot, plugin) && ReadFormats(plugin, info, formats) &&
        info.input_plugin_Type <= ZPINPUT_TYPE_PICTURE) {
      std::string name;
      ReadPluginString(info.input_plugin_Name, name, kMaxPluginText);
      for (const auto& format : formats) {
        if (format.UpperExtension.size() < 2 || format.UpperExtension[0] != '.') continue;
        rows.push_back({format.UpperExtension, format.Description, info.input_plugin_Type, name,
                        info.input_plugin_Version, path, format.Extension});
      }
    }
    UnloadInputPlugin(slot);
    table.KELDAR_input_PLUGIN_DLL_Record.resize(static_cast<size_t>(slot));
  }
  return rows;
}
