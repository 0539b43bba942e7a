// The now-playing record the player publishes for other programs and plug-ins.
#pragma once

#include <cstdint>
#include <string>

#include "zorvaneplayerapi_record.h"

// What the deck shows, gathered by the main timer for one tick.
struct TNowPlayingValues {
  std::string ProgramPath;
  std::string ProgramVersion;
  std::string CurrentTimeText = "00:00";
  std::string TotalTimeText = "00:00";
  std::string TitleName;
  std::string ArtistName;
  std::string AlbumName;
  std::string PlaylistPositionText;
  std::string FullPathAndFilename;
  std::string PlayerStatusText;
  std::string OutputChannelsText;
  std::string BitrateText = "000";
  std::string SampleRateText = "44100";
  int32_t BackgroundColor = 0;
  int32_t CurrentColor = 0;
  int32_t TextColor = 0;
};

// Maps (creating if needed) the shared record; the player runs without it on failure.
bool OpenApiSharedMemory();
// The end of the exit sequence: marks the record stopped and removes it.
void CloseApiSharedMemory();
bool ApiSharedMemoryOpened();
// The next tick blanks the record instead of filling it (start-up, new artwork).
void RequestBlankNowPlayingTick();
// One main-timer tick: a blank tick when one is pending, else every field in order.
void PublishNowPlaying(const TNowPlayingValues& values);
