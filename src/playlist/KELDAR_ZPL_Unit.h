// The player's own playlist file: serialized entries one after the other, nothing else.
// The same serialization is the exchange format with playlist and archive input plug-ins.
#pragma once

#include <string>
#include <vector>

#include "playlist/TPlaylist.h"

// Appends the serialized form of every entry to the byte stream.
void WritePlaylistItemsToStream(const TPlaylist& playlist, std::string& stream);
// Reads entries from the whole stream; an item cut short by the end of the data is still
// appended with what was read (the rest keeps the previous item's values). A string count
// that is negative or larger than the data left is refused before anything is allocated
// and ends the data there.
void ReadPlaylistItemsFromStream(TPlaylist& playlist, const std::string& stream, bool clearFirst);

// The same reading fed a piece at a time, so a long stream is never held whole: every
// complete item is appended as soon as its last byte arrives, and Finish handles the end of
// the data exactly as ReadPlaylistItemsFromStream does.
class TPlaylistItemStreamReader {
 public:
  explicit TPlaylistItemStreamReader(TPlaylist& playlist) : m_playlist(playlist) {}
  void Feed(const char* bytes, std::size_t count);
  void Finish();

 private:
  TPlaylist& m_playlist;
  std::string m_pending;  // the bytes of the item not yet complete
  // One record for the whole pass, so fields a cut item leaves unread keep the previous
  // item's values.
  TPlayListBoxItem m_item;
};

// "Loading Playlist Failed..." when the file cannot be read; the playlist is then unchanged.
bool LoadZPLFile(TPlaylist& playlist, const std::string& path, bool clearFirst);
// "Saving Playlist Failed..." when the file cannot be written. Written to a temporary name
// and renamed, so a failed save never destroys the previous file.
bool SaveZPLFile(const TPlaylist& playlist, const std::string& path);

// The default playlist beside the program: the program path with the extension ".ZPL".
std::string DefaultPlaylistPath();
