#include "cd/CDTrackFileNames.h"

#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

std::string CDTrackFileName(const std::string& pattern, const TPlayListBoxItem& item) {
  const int number = item.TitleCDIndex + 1;
  const std::string track = (number >= 0 && number < 10 ? "0" : "") + std::to_string(number);
  const std::string file = ExtractFileName(item.FullPathAndFilename);
  const std::string bare = file.substr(0, file.size() - ExtractFileExt(file).size());
  std::string name = ReplaceAllText(pattern, "%09", track, false);
  name = ReplaceAllText(name, "%01", item.TitleName, false);
  name = ReplaceAllText(name, "%02", item.ArtistName, false);
  name = ReplaceAllText(name, "%03", item.AlbumName, false);
  name = ReplaceAllText(name, "%04", item.TitleAlbumYear, false);
  name = ReplaceAllText(name, "%05", item.TitleAlbumGenre, false);
  return ReplaceAllText(name, "%06", bare, false);
}
