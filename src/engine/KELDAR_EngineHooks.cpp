#include "engine/KELDAR_EngineHooks.h"

KELDAR_EngineUIHooks& EngineUIHooks() {
  static KELDAR_EngineUIHooks hooks;
  return hooks;
}

KELDAR_InputPluginLoaderHooks& InputPluginLoaderHooks() {
  static KELDAR_InputPluginLoaderHooks hooks;
  return hooks;
}

KELDAR_RecordingInputHooks& RecordingInputHooks() {
  static KELDAR_RecordingInputHooks hooks;
  return hooks;
}

KELDAR_DSPPluginHook& DSPPluginHook() {
  static KELDAR_DSPPluginHook hook;
  return hook;
}
