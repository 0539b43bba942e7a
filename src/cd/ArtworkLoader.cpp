#include "cd/ArtworkLoader.h"

#include "cd/ArtworkFunctions.h"

bool LoadArtwork(const std::string& path, const std::string& artist, const std::string& album,
                 const std::string& fallback, TInputPluginPicture& picture) {
  picture = {};
  const std::string found = FindArtworkFile(path, artist, album);
  const std::string chosen = found.empty() ? fallback : found;
  if (!chosen.empty() && !LoadPictureWithPlugin(chosen, picture)) picture = {};
  return !found.empty();
}
