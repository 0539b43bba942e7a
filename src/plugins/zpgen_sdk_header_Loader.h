// Loader of the general plug-ins: their table and guarded calls into their entries. UI thread
// only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zpgen_sdk_header.h"

struct tKELDAR_gen_PLUGIN_API_LOADED_DLL_Structure {
  std::string PLUGIN_FullPathAndFilename;
  void* PLUGIN_ModuleHandle = nullptr;
  Tzpgen_plugin_structure* PLUGIN_DLL_Export_Interface = nullptr;
  bool PLUGIN_Initialized = false;
  // Set when a call crashed inside the plug-in: it is not called again.
  bool PLUGIN_Unusable = false;
};

struct TKELDAR_gen_PLUGIN_DLL_Table {
  int32_t KELDAR_gen_PLUGIN_DLL_TotalInTable = 0;
  std::vector<std::unique_ptr<tKELDAR_gen_PLUGIN_API_LOADED_DLL_Structure>> KELDAR_gen_PLUGIN_DLL_Record;
};

// The one process-wide table.
TKELDAR_gen_PLUGIN_DLL_Table& KELDAR_gen_PLUGIN_DLL_Table();

// Fills the slot (growing the array when needed) from the library at path; no Initialize.
// On failure the slot is emptied and "Error Loading gen plugin: " + path is shown.
bool LoadGENPlugin(int slot, const std::string& path, void* parentWindow);
// Close (when initialized), then release the library and empty the slot.
void UnloadGENPlugin(int slot);

// ---- guarded entries; a crash marks the plug-in unusable ----
// The plug-in's result, or 65535 when the entry is missing or failed.
int32_t GENPluginInitialize(int slot, const std::string& folder);
void GENPluginConfig(int slot);
// Name and version of the slot's plug-in; false when unreadable.
bool GENPluginInformation(int slot, std::string& name, uint32_t& version);
