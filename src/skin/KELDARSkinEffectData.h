// The data the equalizer window's timer hands to the effect canvases before it asks for a
// repaint: every value 0..100 (values outside are clamped when drawn). UI thread only.
#pragma once
#include <array>
#include <cstdint>

struct TKELDARSkinEffectData {
  std::array<std::int32_t, 10> BandLevels{};               // mode 2
  std::array<std::int32_t, 128> SpectrumLevels{};          // mode 3
  std::array<std::array<std::int32_t, 2>, 64> ChannelSpectrumLevels{};  // mode 4: left, right
  std::array<std::int32_t, 512> WaveformValues{};          // mode 5
  std::array<std::array<std::int32_t, 2>, 256> ChannelWaveformValues{};  // mode 6: left, right
};

// The one record the timer writes and the canvases read.
TKELDARSkinEffectData& KELDARSkinEffectData();
