// What the playlist window hands to parts of the program that are built separately: the
// tag editor, the CD entry dialogs, the song library, the URL favourites and the converter.
// They install their hook at start-up. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "playlist/TPlaylist.h"

struct TPlaylistWindowHooks {
  // The tag editor, modal, on `file` (an extracted copy for an entry inside an archive);
  // `sourceLocation` is the entry's locator.
  std::function<void(TPlayListBoxItem& item, const std::string& file, const std::string& sourceLocation)>
      ShowTagEditor;
  // File information of a CD track: the disc's entry (local store, freedb when allowed),
  // "NO CD in Drive" when the engine knows no disc there.
  std::function<void(TPlaylist& playlist, int index, bool freedbAllowed)> ShowCDTrackInfo;
  // The selected entries into the song library (shows the library window first).
  std::function<void(TPlaylist& playlist)> AddSelectedFilesToLibrary;
  // The selected URL entries into the favourites (shows the "Add URL to Playlist" dialog first).
  std::function<void(TPlaylist& playlist)> AddSelectedURLsToFavourites;
  // The selected entries to the conversion pipeline.
  std::function<void(TPlaylist& playlist)> ConvertSelectedFiles;
  // Opens a folder in the desktop's file browser (the shell by default).
  std::function<bool(const std::string& folder)> OpenFolder;
};

TPlaylistWindowHooks& PlaylistWindowHooks();
