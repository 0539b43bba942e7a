// Connects the input plug-in loader to the engine, which reaches it only through hooks:
// building the supported-types table discovers the zpinput_*.so
// files of the inputplugins folders and adds their formats, and starting and stopping the
// audio back-end loads and releases the live plug-in table. Installed once at start-up,
// before the table is built.
#pragma once

#include <vector>

#include "engine/KELDAR_SupportedFileTypes.h"
#include "engine/KELDAR_EngineHooks.h"
#include "plugins/zpinput_plugins_Loader_API.h"

// The discovered rows grouped per plug-in, in discovery order.
std::vector<TInputPluginFormats> InputPluginFormatsFromRows(const std::vector<TInputPluginFormatRow>& rows);
// Installs InputPluginFormatsProvider() and InputPluginLoaderHooks(); the loaded plug-ins
// get parentWindow (the main window) as their parent.
void InstallInputPluginEngineHooks(void* parentWindow);
