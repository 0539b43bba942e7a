#include "playlist/AdvancedPlaylist.h"

#include <algorithm>

#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

int32_t* SliderField(TPlayListBoxItem& item, int slider) {
  switch (slider) {
    case 0: return &item.PitchValue;
    case 1: return &item.TempoValue;
    case 2: return &item.EQSamplerate;
    case 3: return &item.PreampValue;
    default: break;
  }
  if (slider >= 4 && slider < kAdvancedPlaylistSliderCount) return &item.EQBandValues[slider - 4];
  return nullptr;
}

bool ModeAppliesTo(const TPlaylist& playlist) {
  return Options_PlaylistAdvancedMode.BooleanValue && playlist.ValidIndex(playlist.CurrentIndex());
}

}  // namespace

bool AdvancedPlaylist_SetValueToCurrentPlayListBoxItemFromPlayer(TPlaylist& playlist, TAdvancedPlaylistSlider slider,
                                                                int value) {
  if (!ModeAppliesTo(playlist)) return false;
  int32_t* field = SliderField(playlist.Item(playlist.CurrentIndex()), static_cast<int>(slider));
  if (!field) return false;
  *field = std::clamp(value, 0, 100);
  return true;
}

bool AdvancedPlaylist_SetALLValuesToPlayerFromCurrentPlayListBoxItem(const TPlaylist& playlist,
                                                                    TAdvancedPlaylistSliderValues& values) {
  if (!ModeAppliesTo(playlist)) return false;
  // A copy, so the const list hands out its values without a writable field.
  TPlayListBoxItem item = playlist.Item(playlist.CurrentIndex());
  for (int i = 0; i < kAdvancedPlaylistSliderCount; ++i) values[static_cast<size_t>(i)] = std::clamp(*SliderField(item, i), 0, 100);
  return true;
}
