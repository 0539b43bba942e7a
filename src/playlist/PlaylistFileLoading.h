// Loading and saving playlist files by their extension: ".ZPL" natively, every other
// format through the playlist input plug-in that registered the extension; playlists
// behind URLs are downloaded first. Main thread only.
#pragma once

#include <string>

#include "playlist/TPlaylist.h"

enum : int {
  KELDAR_PLAYLIST_NOT_A_PLAYLIST = 0,
  KELDAR_PLAYLIST_LOADED = 1,
  KELDAR_PLAYLIST_NESTED_PLAYLIST_LOADED = 2,
};

// 0: nothing here can read it (the playlist is unchanged); 1: loaded (also when a plug-in
// or a download delivered nothing); 2: loaded, and one of the list's entries was itself a
// playlist that then replaced the list (recursively, up to a fixed nesting depth, so a
// playlist naming itself cannot recurse forever).
int LoadPlaylistFile(TPlaylist& playlist, const std::string& path, bool clearFirst);

// True when the playlist was handed to a writer: a playlist plug-in for the extension, or,
// when no plug-in takes the extension, the native writer with the extension made ".ZPL".
// False for a plug-in of another kind.
bool SavePlaylistFile(const TPlaylist& playlist, const std::string& path);

// The file name with the extension of the chosen entry (1-based) of a dialog filter
// ("text|pattern|text|pattern|..."): the first pattern's extension replaces the name's
// one (or is appended); a wildcard extension, a pattern without one or an index outside
// the filter leaves the name as typed.
std::string ApplySaveFilterExtension(const std::string& fileName, const std::string& filter,
                                     int filterIndex);
