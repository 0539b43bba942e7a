// DSP plug-in: hosts one LADSPA effect (mono or stereo) chosen in its configuration dialog.
#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "LadspaCatalogue.h"
#include "LadspaConfigDialog.h"
#include "LadspaEffect.h"
#include "LadspaSettings.h"
#include "zpdsp_sdk_header.h"

namespace {

Tzpdsp_plugin_INFO g_info = {1, "LADSPA Effect Host", 0};
Tzpdsp_plugin_structure g_plugin{};

std::string g_settingsFile;
// Every choice made stays alive until Close: the processing thread may still hold the last one.
std::vector<std::unique_ptr<TLadspaChoice>> g_choices;
std::atomic<const TLadspaChoice*> g_current{nullptr};
TLadspaRunner g_runner;  // processing thread only (and Close, when nothing processes)

const TLadspaChoice* Choose(const TLadspaEffectInfo* effect) {
  if (effect == nullptr) {
    g_current = nullptr;
    return nullptr;
  }
  g_choices.push_back(std::make_unique<TLadspaChoice>(effect));
  g_current = g_choices.back().get();
  return g_choices.back().get();
}

int32_t Initialize(const char* folder) {
  if (folder == nullptr) return ZPDSP_RESULT_FAILURE;
  g_settingsFile = std::string(folder) + "zpdsp_ladspa.ini";
  return ZPDSP_RESULT_SUCCESS;
}

void LoadSettings() {
  const TLadspaSettings settings = LoadLadspaSettingsFile(g_settingsFile);
  const TLadspaChoice* choice = Choose(FindLadspaEffect(settings.Library, settings.Label));
  if (choice == nullptr) return;
  const auto& controls = choice->Effect->Controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const auto it = settings.Controls.find(controls[i].Port);
    if (it != settings.Controls.end()) choice->Values[i] = std::clamp(it->second, controls[i].Lower, controls[i].Upper);
  }
}

void SaveSettings() {
  TLadspaSettings settings;
  if (const TLadspaChoice* choice = g_current.load()) {
    settings.Library = choice->Effect->Library;
    settings.Label = choice->Effect->Label;
    for (size_t i = 0; i < choice->Effect->Controls.size(); ++i)
      settings.Controls[choice->Effect->Controls[i].Port] = choice->Values[i].load();
  }
  SaveLadspaSettingsFile(g_settingsFile, settings);
}

void Config() { ShowLadspaConfigDialog(g_plugin.dsp_hwndParent, g_current.load(), Choose); }

void Process(void* buffer, uint32_t length, uint32_t rate, uint32_t channels, uint32_t bytesPerSample) {
  if (bytesPerSample != sizeof(float) || channels == 0) return;
  g_runner.Process(static_cast<float*>(buffer), length / (channels * bytesPerSample), channels, rate, g_current.load());
}

void Close() {
  g_current = nullptr;
  g_runner.Reset();
  g_choices.clear();
  ReleaseLadspaLibraries();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpdsp_plugin_structure* zpdsp_Plugin_Interface() {
  g_plugin.dsp_plugin_Info = &g_info;
  g_plugin.dsp_plugin_Initialize = &Initialize;
  g_plugin.dsp_plugin_Config = &Config;
  g_plugin.dsp_plugin_DSP_Proc = &Process;
  g_plugin.dsp_plugin_Close = &Close;
  g_plugin.dsp_plugin_SaveSettings = &SaveSettings;
  g_plugin.dsp_plugin_LoadSettings = &LoadSettings;
  return &g_plugin;
}
