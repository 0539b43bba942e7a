// Loader of the DSP plug-in: its one-slot table and guarded calls into its entries. Loading,
// unloading and every entry but the sample procedure run on the UI thread; the sample
// procedure (DSPPluginProcess) runs on the audio library's processing thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zpdsp_sdk_header.h"

inline constexpr int32_t KELDAR_DSP_PLUGIN_FAILURE = ZPDSP_RESULT_FAILURE;

struct tKELDAR_dsp_PLUGIN_API_LOADED_DLL_Structure {
  std::string PLUGIN_FullPathAndFilename;
  void* PLUGIN_ModuleHandle = nullptr;
  Tzpdsp_plugin_structure* PLUGIN_DLL_Export_Interface = nullptr;
  bool PLUGIN_Initialized = false;
};

struct TKELDAR_dsp_PLUGIN_DLL_Table {
  int32_t KELDAR_dsp_PLUGIN_DLL_TotalInTable = 0;  // 0 or 1
  std::vector<std::unique_ptr<tKELDAR_dsp_PLUGIN_API_LOADED_DLL_Structure>> KELDAR_dsp_PLUGIN_DLL_Record;
};

// The one process-wide table.
TKELDAR_dsp_PLUGIN_DLL_Table& KELDAR_dsp_PLUGIN_DLL_Table();

// ---- loading (UI thread) ----
// Fills slot 0 from the library at path: export, structure, Initialize(folder), LoadSettings.
// On any failure the library is released and "Error Loading dsp plugin: " + path is shown.
bool LoadDSPPlugin(const std::string& path, const std::string& folder, void* parentWindow);
// SaveSettings, Close, release. The caller has removed the sample hook before.
void UnloadDSPPlugin();
// True when a plug-in is loaded and initialized.
bool DSPPluginLoaded();

// ---- guarded entries: skipped when nothing is loaded, the entry is missing or the plug-in
// crashed before; a crash marks the plug-in unusable ----
void DSPPluginConfig();
void DSPPluginCreateEffect(uint32_t channel);
void DSPPluginStopEffect(uint32_t channel);
// Processing thread. Lock-free and allocation-free; the plug-in is never released while a
// call is inside it.
void DSPPluginProcess(void* buffer, uint32_t length, uint32_t sampleRate, uint32_t channels,
                      uint32_t bytesPerSample);
bool DSPPluginUnusable();

// The loaded plug-in's name and version; false when none is loaded or its record is unreadable.
bool DSPPluginInformation(std::string& name, uint32_t& version);
