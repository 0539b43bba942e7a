// Loader of input plug-ins: the process-wide table of loaded plug-ins, guarded calls into
// their entries, and the discovery pass that reads their formats for the supported-types
// table. All calls come from the UI thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zpinput_sdk_header.h"

inline constexpr int32_t KELDAR_INPUT_PLUGIN_FAILURE = ZPINPUT_RESULT_FAILURE;

struct tKELDAR_input_PLUGIN_API_LOADED_DLL_Structure {
  std::string PLUGIN_FullPathAndFilename;
  void* PLUGIN_ModuleHandle = nullptr;
  Tzpinput_plugin_structure* PLUGIN_DLL_Export_Interface = nullptr;
  bool PLUGIN_Initialized = false;
  // Set when a call crashed inside the plug-in: it is not called again until reloaded.
  bool PLUGIN_Unusable = false;
};

struct TKELDAR_input_PLUGIN_DLL_Table {
  int32_t KELDAR_input_PLUGIN_DLL_TotalInTable = 0;
  std::vector<std::unique_ptr<tKELDAR_input_PLUGIN_API_LOADED_DLL_Structure>>
      KELDAR_input_PLUGIN_DLL_Record;
};

// The one process-wide table.
TKELDAR_input_PLUGIN_DLL_Table& KELDAR_input_PLUGIN_DLL_Table();

// ---- loading ----
// Fills the slot (growing the array when needed); "Error Loading gen plugin: " + path on failure.
bool LoadInputPlugin(int slot, const std::string& path, void* parentWindow);
// Releases the slot; failures are swallowed.
void UnloadInputPlugin(int slot);
// Loads every zpinput_*.so of the inputplugins folders in name order; returns the count.
int LoadAllInputPlugins(void* parentWindow);
// Releases all slots, last first.
void UnloadAllInputPlugins();

// ---- lookup ----
// First loaded plug-in (table order) declaring the upper-cased extension (".M3U"); -1 if none.
int FindInputPluginForExtension(const std::string& upperCaseExtension);
// The plug-in's kind (ZPINPUT_TYPE_*), or -1 when the slot or its info is unusable.
int InputPluginType(int slot);

// ---- guarded entries: 65535 when not loaded, entry missing, or the entry throws or crashes;
// a crash marks the plug-in unusable ----
int32_t InputPluginInitialize(int slot);
int32_t InputPluginLoadData(int slot, const std::string& path);
int32_t InputPluginSaveData(int slot, const std::string& path, const std::string& destination);
void InputPluginClose(int slot);
// The plug-in's current data object reference, read guardedly; null when none.
zpinput_byte_stream* InputPluginStream(int slot);
zpinput_picture* InputPluginPicture(int slot);
// Writes bytes through the plug-in's stream object (its write entry, guarded); false when the
// stream or its entry is missing, the write falls short, or the entry fails.
bool InputPluginWriteStream(int slot, zpinput_byte_stream* stream, const std::string& bytes);
// True when a crash inside the plug-in has marked the slot unusable.
bool InputPluginUnusable(int slot);

// ---- discovery ----
// One format an input plug-in adds to the supported-types table.
struct TInputPluginFormatRow {
  std::string Extension;   // upper-cased, with its dot
  std::string Description;
  uint32_t PluginType = 0; // ZPINPUT_TYPE_*
  std::string PluginName;
  uint32_t PluginVersion = 0;
  std::string PluginPath;
  std::string DeclaredExtension;  // as the plug-in spells it (shown in dialog masks)
};
// The inputplugins folders searched, existing ones only (never created): the working
// folder's, then the executable folder's when it differs.
std::vector<std::string> InputPluginFolders();
// The zpinput_*.so files of those folders, sorted by name within each folder; a file name
// found in an earlier folder hides the same name in a later one.
std::vector<std::string> FindInputPluginFiles();
// Loads each plug-in once on its own, reads its formats and releases it again.
std::vector<TInputPluginFormatRow> DiscoverInputPluginFormats();
