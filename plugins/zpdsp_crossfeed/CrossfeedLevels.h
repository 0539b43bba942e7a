// The crossfeed levels offered: the presets of libbs2b, and the settings file that keeps the
// choice ("zpdsp_crossfeed.ini" in the DSP plug-in folder, one line "Level=<key>").
#pragma once

#include <cstdint>
#include <string>

struct TCrossfeedLevel {
  const char* Key;      // as stored in the settings file
  const char* Caption;  // as shown in the dialog
  uint32_t Level;       // bs2b_set_level's value: cut frequency | feed << 16
};

inline constexpr int kCrossfeedLevelCount = 3;
const TCrossfeedLevel& CrossfeedLevel(int index);

// The index stored in the text; 0 (the library's default) when none is readable.
int ParseCrossfeedSettings(const std::string& text);
std::string FormatCrossfeedSettings(int index);
