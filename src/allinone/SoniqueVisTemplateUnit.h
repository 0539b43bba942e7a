// The all-in-one visualization plug-in: spectrum, waveform, the artwork of what the player
// plays, and the artwork under either trace; a click moves to the next effect. Its entries
// follow the visualization interface; tests call them directly.
#pragma once

#include <cstdint>

#include "SoniqueVisPlugin_API.h"

VisPluginInfo* AllInOneQueryModule();
void AllInOneInitializeProc();
int32_t AllInOneRenderProc(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, VisRenderData* data);
int32_t AllInOneSaveSettingsProc(const char* iniPath);
int32_t AllInOneOpenSettingsProc(const char* iniPath);
int32_t AllInOneDeinitProc();
int32_t AllInOneClickedProc(int32_t x, int32_t y, int32_t buttons);

// The current effect, 0..4 (for tests and the host's display).
int AllInOneCurrentEffect();
// The picture plug-in the artwork is decoded with, relative to the current folder.
inline constexpr const char* KELDAR_ALLINONE_PICTURE_PLUGIN = "./inputplugins/zpinput_pictures.so";
