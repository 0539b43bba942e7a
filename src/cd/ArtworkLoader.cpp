#include "cd/ArtworkLoader.h"

#include <cstring>

#include "cd/ArtworkFunctions.h"

bool LoadArtwork(const std::string& path, const std::string& artist, const std::string& album,
                 const std::string& fallback, TInputPluginPicture& picture) {
  picture = {};
  const std::string found = FindArtworkFile(path, artist, album);
  const std::string chosen = found.empty() ? fallback : found;
  if (!chosen.empty() && !LoadPictureWithPlugin(chosen, picture)) picture = {};
  return !found.empty();
}

QImage ArtworkImage(const TInputPluginPicture& picture) {
  if (picture.Pixels.size() < static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height) ||
      picture.Width <= 0 || picture.Height <= 0)
    return {};
  QImage image(picture.Width, picture.Height, QImage::Format_ARGB32);
  if (image.isNull()) return {};
  for (int y = 0; y < picture.Height; ++y)
    std::memcpy(image.scanLine(y), picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width,
                static_cast<std::size_t>(picture.Width) * 4);
  return image;
}
