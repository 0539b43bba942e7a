// Loaded audio add-ons (kaudio_*.so) and the sources that decode through them.
#pragma once

#include <kaudio_addon.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/ChannelSource.h"

namespace kaudio {

uint32_t LoadAddon(const std::string& path, int* error);
const KAUDIO_PLUGININFO* AddonInfo(uint32_t handle);
bool FreeAddon(uint32_t handle);
void FreeAllAddons();
// Tries the add-ons whose masks match the file's extension (matching = true) or all the
// others (matching = false). *plugin receives the add-on's handle.
std::unique_ptr<ChannelSource> OpenWithAddons(const std::string& path, bool matching,
                                              uint32_t* plugin, int* error);

}  // namespace kaudio
