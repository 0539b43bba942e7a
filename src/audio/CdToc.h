// A disc's table of contents and the freedb identity computed from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kaudio {

inline constexpr int kCdSectorBytes = 2352;   // one audio sector: 588 stereo 16-bit frames
inline constexpr int kCdSectorFrames = 588;
inline constexpr int kCdSectorsPerSecond = 75;
inline constexpr int kCdLeadIn = 150;         // sectors before logical sector 0
inline constexpr int kCdMaxTracks = 99;

struct CdTocTrack {
  int number = 0;      // as the disc numbers it (1..99)
  bool audio = true;
  int64_t start = 0;   // logical sector of index 1
};

struct CdToc {
  std::vector<CdTocTrack> tracks;
  int64_t leadout = 0;  // logical sector after the last track

  // Sectors from track i's start to the next track (or the lead-out); 0 out of range.
  int64_t TrackSectors(size_t i) const;
  // The freedb disc ID: 8 lower-case hexadecimal digits.
  std::string FreedbDiscId() const;
  // The freedb query: disc ID, track count, every track's offset (lead-in included) and the
  // disc length in seconds, separated by single spaces.
  std::string FreedbQuery() const;
};

}  // namespace kaudio
