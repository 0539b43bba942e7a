#include "app/PluginHostSetup.h"

#include <QWidget>

#include "app/LaterDialogHooks.h"
#include "app/StartupHooks.h"
#include "app/deck.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineHooks.h"
#include "plugins/zpdsp_plugins_Loader_API.h"
#include "plugins/zpdsp_sdk_header_Loader.h"
#include "plugins/zpgen_plugins_Loader_API.h"

void InstallPluginHost(TDeckForm* deck) {
  TDSPPluginHostHooks& hooks = DSPPluginHostHooks();
  hooks.DSPActive = [] { return KELDAR_AUDIOVIDEO_API_State().Effects.DSP; };
  hooks.SetDSPActive = [](bool on) { KELDAR_AUDIOVIDEO_API_State().Effects.DSP = on; };
  hooks.ApplyDSPState = [] {
    if (const auto& apply = KELDAR_AUDIOVIDEO_API_Slots().ApplyDSPState) apply();
  };
  hooks.ShowPreferencesPage = [](const std::string& page) {
    if (LaterDialogHooks().ShowPreferencesPage) LaterDialogHooks().ShowPreferencesPage(page);
  };
  // Plug-ins get the main window's native window id, as a plug-in written for any toolkit can use.
  hooks.ParentWindow = [deck]() -> void* {
    return deck && deck->isVisible() ? reinterpret_cast<void*>(deck->winId()) : nullptr;
  };

  KELDAR_DSPPluginHook& feeder = DSPPluginHook();
  feeder.Process = &DSPPluginProcess;
  feeder.CreateEffect = &DSPPluginCreateEffect;
  feeder.StopEffect = &DSPPluginStopEffect;

  StartupHooks().RestartPlugins = [] {
    StopDSPPlugin();
    StartDSPPlugin();
    StopGENPlugins();
    StartGENPlugins();
  };
  StartupHooks().StopPlugins = [] {
    StopDSPPlugin();
    StopGENPlugins();
  };
}

void ClearPluginHost() {
  KELDAR_DSPPluginHook& feeder = DSPPluginHook();
  feeder.Process = nullptr;
  feeder.CreateEffect = nullptr;
  feeder.StopEffect = nullptr;
  DSPPluginHostHooks() = {};
}
