// The playlist item stream (.ZPL files and the plug-ins' data streams), read whole and read
// in pieces as it arrives from a plug-in.
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
  // Pieces of every size the first byte picks (1 to 256) give the same entries as the whole.
  if (size > 0) {
    const size_t piece = size_t(data[0]) + 1;
    TPlaylist pieces;
    TPlaylistItemStreamReader reader(pieces);
    for (size_t at = 1; at < size; at += piece)
      reader.Feed(reinterpret_cast<const char*>(data) + at, std::min(piece, size - at));
    reader.Finish();
    TPlaylist whole;
    ReadPlaylistItemsFromStream(whole, fuzz::Text(data + 1, size - 1), true);
    if (pieces.Count() != whole.Count()) __builtin_trap();
    for (int i = 0; i < whole.Count(); ++i)
      if (!(pieces.Item(i) == whole.Item(i))) __builtin_trap();
  }
  return 0;
}
