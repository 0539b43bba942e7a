// One playlist entry. Field order is the order of the serialized record.
#pragma once

#include <cstdint>
#include <string>

struct TPlayListBoxItem {
  std::string FullPathAndFilename;
  std::string ArtistName;
  std::string TitleName;
  std::string AlbumName;
  std::string TitleAlbumGenre;
  std::string TitleAlbumYear;
  int32_t TitleCDIndex = 0;
  int32_t PlaybackStartPos = 0;
  int32_t PlaybackEndpos = 0;
  int32_t FilePlaybackLength = 0;
  int64_t FileSize = 0;
  int32_t FileDate = 0;
  // Slider positions 0..100, 50 neutral.
  int32_t PitchValue = 50;
  int32_t TempoValue = 50;
  int32_t EQSamplerate = 50;
  int32_t PreampValue = 50;
  int32_t EQBandValues[10] = {50, 50, 50, 50, 50, 50, 50, 50, 50, 50};
  bool TagIDDataRetrieved = false;

  bool operator==(const TPlayListBoxItem&) const = default;
};
