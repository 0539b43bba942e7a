// Decoding a picture through the loaded picture input plug-in of its extension. Shared by
// the player and the visualization plug-in, each with its own table of input plug-ins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: 0xAARRGGBB pixels, rows top to bottom.
struct TInputPluginPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
};
// One Initialize -> LoadData -> Close cycle; false when no picture plug-in takes the
// extension, it fails, or its picture is unreadable or too large.
bool LoadPictureWithPlugin(const std::string& path, TInputPluginPicture& picture);

// The largest side we copy out of a plug-in's picture.
inline constexpr uint32_t KELDAR_INPUT_PLUGIN_MAX_PICTURE_SIDE = 16384;
