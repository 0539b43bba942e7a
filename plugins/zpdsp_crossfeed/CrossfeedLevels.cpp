#include "CrossfeedLevels.h"

#include <bs2b/bs2b.h>

#include <sstream>

namespace {
const TCrossfeedLevel kLevels[kCrossfeedLevelCount] = {
    {"default", "Default (700 Hz, 4.5 dB)", BS2B_DEFAULT_CLEVEL},
    {"cmoy", "Chu Moy (700 Hz, 6 dB)", BS2B_CMOY_CLEVEL},
    {"jmeier", "Jan Meier (650 Hz, 9.5 dB)", BS2B_JMEIER_CLEVEL},
};
}  // namespace

const TCrossfeedLevel& CrossfeedLevel(int index) {
  return kLevels[index >= 0 && index < kCrossfeedLevelCount ? index : 0];
}

int ParseCrossfeedSettings(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("Level=", 0) != 0) continue;
    const std::string key = line.substr(6);
    for (int i = 0; i < kCrossfeedLevelCount; ++i)
      if (key == kLevels[i].Key) return i;
  }
  return 0;
}

std::string FormatCrossfeedSettings(int index) { return std::string("Level=") + CrossfeedLevel(index).Key + "\n"; }
