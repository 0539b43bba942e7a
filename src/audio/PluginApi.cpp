// Loading and freeing audio add-ons.
#include <kaudio.h>

#include "audio/AddonRegistry.h"
#include "audio/Errors.h"

using namespace kaudio;

extern "C" {

KAUDIO_HPLUGIN KAUDIO_PluginLoad(const char* file, KAUDIO_DWORD) {
  if (!file || !*file) return Fail(KAUDIO_ERROR_FILEOPEN);
  int error = 0;
  const uint32_t h = LoadAddon(file, &error);
  SetError(error);
  return h;
}

const KAUDIO_PLUGININFO* KAUDIO_PluginGetInfo(KAUDIO_HPLUGIN handle) {
  const KAUDIO_PLUGININFO* info = AddonInfo(handle);
  SetError(info ? 0 : KAUDIO_ERROR_HANDLE);
  return info;
}

KAUDIO_BOOL KAUDIO_PluginFree(KAUDIO_HPLUGIN handle) {
  if (!FreeAddon(handle)) return Fail(KAUDIO_ERROR_HANDLE);
  SetError(0);
  return 1;
}

}  // extern "C"
