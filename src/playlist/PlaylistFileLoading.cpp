#include "playlist/PlaylistFileLoading.h"

#include "playlist/InputPluginServices.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

namespace {

// Nested playlists deeper than this are not opened.
constexpr int kMaxNestingDepth = 8;
int g_nestingDepth = 0;

class TNestingLevel {
 public:
  TNestingLevel() { ++g_nestingDepth; }
  ~TNestingLevel() { --g_nestingDepth; }
};

}  // namespace

int LoadPlaylistFile(TPlaylist& playlist, const std::string& path, bool clearFirst) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(path));
  if (extension == ".ZPL") {
    LoadZPLFile(playlist, path, clearFirst);
    return KELDAR_PLAYLIST_LOADED;
  }
  TNestingLevel level;
  return ReadForeignPlaylist(playlist, path, clearFirst, [&playlist](const std::string& locator) {
    if (g_nestingDepth >= kMaxNestingDepth) return 0;
    return LoadPlaylistFile(playlist, locator, true);
  });
}

bool SavePlaylistFile(const TPlaylist& playlist, const std::string& path) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(path));
  const int slot = FindInputPluginForExtension(extension);
  if (slot < 0) {
    // A name that already ends in .zpl in any case is kept: on this platform another
    // spelling of the extension would be another file.
    SaveZPLFile(playlist, extension == ".ZPL" ? path : ChangeFileExt(path, ".ZPL"));
    return true;
  }
  if (InputPluginType(slot) != ZPINPUT_TYPE_PLAYLIST) return false;
  WriteForeignPlaylist(playlist, path);
  return true;
}

std::string ApplySaveFilterExtension(const std::string& fileName, const std::string& filter,
                                     int filterIndex) {
  if (filterIndex < 1) return fileName;
  // Skip to the chosen description, then past it.
  size_t position = 0;
  for (int pair = 1; pair < filterIndex; ++pair) {
    for (int bar = 0; bar < 2; ++bar) {
      position = filter.find('|', position);
      if (position == std::string::npos) return fileName;
      ++position;
    }
  }
  position = filter.find('|', position);
  if (position == std::string::npos) return fileName;
  ++position;
  const size_t end = filter.find_first_of(";|", position);
  const std::string pattern = filter.substr(position, end == std::string::npos ? std::string::npos : end - position);
  const size_t dot = pattern.rfind('.');
  if (dot == std::string::npos) return fileName;
  const std::string extension = pattern.substr(dot);
  if (extension.find_first_of("?*") != std::string::npos || extension.size() < 2) return fileName;
  return ChangeFileExt(fileName, extension);
}
