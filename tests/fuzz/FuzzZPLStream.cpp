// The playlist item stream (.ZPL files and the plug-ins' data streams).
#include "FuzzInput.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "playlist/TPlaylist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPlaylist playlist;
  ReadPlaylistItemsFromStream(playlist, fuzz::Text(data, size), true);
  // What was read must write out and read back to the same entries.
  std::string again;
  WritePlaylistItemsToStream(playlist, again);
  TPlaylist back;
  ReadPlaylistItemsFromStream(back, again, true);
  if (back.Count() != playlist.Count()) __builtin_trap();
  return 0;
}
