// What the bridge knows about the player at one moment: the now-playing record's fields and
// the volume slider, read as any other program reads them.
#pragma once

#include <cstdint>
#include <string>

struct TNowPlayingSnapshot {
  bool PlayerThere = false;  // the record could be read
  std::string Status;        // "Playing", "Paused" or "Stopped" (MPRIS spelling)
  std::string Title, Artist, Album, Path;
  std::string PlaylistPosition;
  int64_t PositionMicroseconds = 0;
  int64_t LengthMicroseconds = 0;
  int Volume = -1;           // 0..100, -1 when the player did not answer
  std::string ArtworkFile;   // empty when the song has none
};

// "mm:ss" (an optional "-" means time left) in seconds; -1 when it is not a time.
int64_t ShownTimeSeconds(const std::string& text);

// The artwork file beside the song (artist - album, or the song's own name, with .jpg, .png or
// .bmp in any case), or in the program's "cdartwork" folder for CD tracks; empty when none.
std::string FindSongArtwork(const std::string& path, const std::string& artist, const std::string& album,
                            const std::string& programFolder);

// The now-playing record's texts into the snapshot; false when the record is not there.
bool ReadNowPlayingRecord(TNowPlayingSnapshot& snapshot);
