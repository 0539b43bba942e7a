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

// "Loading Playlist Failed..." when the file cannot be read; the playlist is then unchanged.
bool LoadZPLFile(TPlaylist& playlist, const std::string& path, bool clearFirst);
// "Saving Playlist Failed..." when the file cannot be written. Written to a temporary name
// and renamed, so a failed save never destroys the previous file.
bool SaveZPLFile(const TPlaylist& playlist, const std::string& path);

// The default playlist beside the program: the program path with the extension ".ZPL".
std::string DefaultPlaylistPath();
