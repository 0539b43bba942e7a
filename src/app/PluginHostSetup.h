// Wires the DSP and general plug-in host to the program at start-up: the engine's DSP switch
// and feeder, the preferences dialog, the main window as the plug-ins' parent, and the
// start-up and exit steps that restart and stop the plug-ins.
#pragma once

class TDeckForm;

void InstallPluginHost(TDeckForm* deck);
// At exit, after the plug-ins were stopped: nothing may reach the windows any more.
void ClearPluginHost();
