// What the playlist needs from the layers above it: installed at start-up by the CD and
// skin parts of the program. An empty hook means that part is not built in; the playlist
// then skips the step (a skin package is still copied, CD tracks stay unnamed).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What is known about one disc, for naming its track entries.
struct TPlaylistCDDiscNames {
  std::string Artist;  // empty: the artist derived from each entry's file name
  std::string Title;   // the album
  std::string Genre;
  std::string Year;
  std::vector<std::string> TrackTitles;    // by zero-based track index; empty: derived title
  std::vector<int32_t> TrackLengths;       // seconds, by zero-based track index
};

struct TPlaylistHooks {
  // Looks the disc in the drive up (local store first, online only when freedbAllowed, which
  // may show the freedb dialog) and fills the names; false when nothing is known.
  // driveRoot ends with a separator ("/dev/sr0/").
  std::function<bool(const std::string& driveRoot, bool freedbAllowed, TPlaylistCDDiscNames& names)>
      NameCDTracks;
  // The track locators the engine lists for a location (folder + "Track00.CDA").
  std::function<std::vector<std::string>(const std::string& trackZeroLocator)> ListCDTracks;
  // Loads and applies the skin at this path (a package already in the skins folder).
  std::function<void(const std::string& skinPath)> LoadSkinPackage;
};

TPlaylistHooks& PlaylistHooks();
