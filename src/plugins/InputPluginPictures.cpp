#include "plugins/InputPluginPictures.h"

#include "plugins/PluginMemoryGuard.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

bool LoadPictureWithPlugin(const std::string& path, TInputPluginPicture& picture) {
  const int slot = FindInputPluginForExtension(UpperCaseAscii(ExtractFileExt(path)));
  if (slot < 0 || InputPluginType(slot) != ZPINPUT_TYPE_PICTURE) return false;
  InputPluginInitialize(slot);
  bool ok = false;
  if (InputPluginLoadData(slot, path) == ZPINPUT_RESULT_SUCCESS) {
    zpinput_picture* source = InputPluginPicture(slot);
    zpinput_picture copy{};
    if (source != nullptr && CopyFromPluginMemory(&copy, source, sizeof copy) &&
        copy.width > 0 && copy.height > 0 &&
        copy.width <= KELDAR_INPUT_PLUGIN_MAX_PICTURE_SIDE &&
        copy.height <= KELDAR_INPUT_PLUGIN_MAX_PICTURE_SIDE) {
      std::vector<uint32_t> pixels(static_cast<size_t>(copy.width) * copy.height);
      if (CopyFromPluginMemory(pixels.data(), copy.pixels, pixels.size() * sizeof(uint32_t))) {
        picture.Width = static_cast<int>(copy.width);
        picture.Height = static_cast<int>(copy.height);
        picture.Pixels = std::move(pixels);
        ok = true;
      }
    }
  }
  InputPluginClose(slot);
  return ok;
}
