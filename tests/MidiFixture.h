// A General MIDI file written by the tests: a piano arpeggio (C E G C, a quarter second a
// note at 120 beats a minute) played `repeats` times, about a second each time.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

inline void WriteMidiFile(const std::string& path, int repeats = 1) {
  std::string track;
  const auto delta = [&](unsigned ticks) {
    if (ticks >= 128) track.push_back(static_cast<char>(0x80 | (ticks >> 7)));
    track.push_back(static_cast<char>(ticks & 0x7F));
  };
  delta(0);
  track += std::string("\xC0\x00", 2);  // piano
  for (int r = 0; r < repeats; ++r)
    for (int note : {60, 64, 67, 72}) {
      delta(0);
      track += {'\x90', static_cast<char>(note), '\x64'};
      delta(240);
      track += {'\x80', static_cast<char>(note), '\x40'};
    }
  delta(0);
  track += std::string("\xFF\x2F\x00", 3);
  std::string file = std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14);  // 480 ticks a quarter (120 bpm)
  file += "MTrk";
  const auto size = static_cast<std::uint32_t>(track.size());
  file += {static_cast<char>(size >> 24), static_cast<char>(size >> 16), static_cast<char>(size >> 8),
           static_cast<char>(size)};
  file += track;
  std::ofstream(path, std::ios::binary) << file;
}
