#include "app/SliderHints.h"

#include <string>

#include "engine/BASSAPIEffects.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/SkinSliders.h"

namespace {

KELDARSkinControls_IDs BandTrack(int band) {
  return static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * band);
}

void ShowHint(KELDARSkinControls_IDs track, const std::string& hint) {
  if (!hint.empty()) SetSkinControlText(track, hint);
}

}  // namespace

void ShowEngineSliderHints() {
  const KELDAR_AUDIOVIDEO_API_SliderHints& h = KELDAR_AUDIOVIDEO_API_State().Hints;
  ShowHint(DeckForm_VolumeImage, h.Volume);
  ShowHint(DeckForm_BalanceImage, h.Balance);
  ShowHint(DeckForm_PitchImage, h.Pitch);
  ShowHint(EqualizerForm_EQTempoImage, h.Tempo);
  ShowHint(EqualizerForm_EQSampleRateImage, h.SampleRate);
  ShowHint(EqualizerForm_EQPreAmpImage, h.PreAmp);
  for (int band = 0; band < 10; ++band) ShowHint(BandTrack(band), h.Bands[static_cast<std::size_t>(band)]);
}

void InstallSliderReadouts() {
  SetSkinSliderReadoutProvider(DeckForm_VolumeImage, VolumeHintText);
  SetSkinSliderReadoutProvider(DeckForm_BalanceImage, BalanceHintText);
  SetSkinSliderReadoutProvider(DeckForm_PitchImage, PitchHintText);
  SetSkinSliderReadoutProvider(EqualizerForm_EQTempoImage, TempoHintText);
  SetSkinSliderReadoutProvider(EqualizerForm_EQSampleRateImage, [](std::int32_t v) {
    return SampleRateHintText(v, KELDAR_AUDIOVIDEO_API_State().ChannelInfo.SamplingRate);
  });
  SetSkinSliderReadoutProvider(EqualizerForm_EQPreAmpImage, PreAmpHintText);
  for (int band = 0; band < 10; ++band)
    SetSkinSliderReadoutProvider(BandTrack(band), [band](std::int32_t v) { return EQBandHintText(band, v); });
}
