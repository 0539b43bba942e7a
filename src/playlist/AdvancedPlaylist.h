// The "advanced playlist" mode (Options_PlaylistAdvancedMode): the current entry remembers
// the positions of the pitch, tempo, sample-rate, pre-amp and ten band sliders, and hands
// them back when it is started. Slider positions are 0..100, 50 neutral.
#pragma once

#include <array>
#include <cstdint>

#include "playlist/TPlaylist.h"

enum class TAdvancedPlaylistSlider : int {
  Pitch = 0,
  Tempo = 1,
  Samplerate = 2,
  Preamp = 3,
  EQBand1 = 4,  // EQBand1 + n for band n + 1, up to EQBand1 + 9
};
inline constexpr int kAdvancedPlaylistSliderCount = 14;
using TAdvancedPlaylistSliderValues = std::array<int32_t, kAdvancedPlaylistSliderCount>;

// The user moved a slider: with the mode on and a current entry in the list, the position
// is stored in the entry's matching field. False when nothing was stored.
bool AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(TPlaylist& playlist, TAdvancedPlaylistSlider slider,
                                                                int value);
// An entry is being started: with the mode on and a current entry in the list, the fourteen
// positions it holds (each brought into 0..100), in slider order. False otherwise.
bool AdvancedPlaylist_SetALLValuesToPlayerFromCurrentPlayListBoxItem(const TPlaylist& playlist,
                                                                    TAdvancedPlaylistSliderValues& values);
