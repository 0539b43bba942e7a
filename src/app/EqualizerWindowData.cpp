#include "app/EqualizerWindowData.h"

#include <QRect>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/KELDARSkinLevelMeters.h"
#include "skin/SkinControlStates.h"

namespace {

constexpr double kBandFrequencies[10] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};

std::int32_t Rnd(double x) { return static_cast<std::int32_t>(std::lround(x)); }

// rnd(√value × 100); a negative or broken value reads as silence.
std::int32_t SpectrumLevel(float value) {
  return value > 0 && std::isfinite(value) ? Rnd(std::sqrt(static_cast<double>(value)) * 100) : 0;
}
// rnd((x + 1) × 100 / 2) for a sample x of −1..1.
std::int32_t WaveformLevel(float x) { return std::isfinite(x) ? Rnd((static_cast<double>(x) + 1) * 100 / 2) : 50; }

// The engine's 1024-point FFT has 512 bins; bin = rnd(f × 1024 / R), kept inside them.
int Bin(double frequency, double rate) { return std::clamp(Rnd(frequency * 1024 / rate), 0, 511); }

void PrepareBandPeaks(const KELDAR_AUDIOVIDEO_API_EngineState& engine, TKELDARSkinEffectData& data) {
  // Before a channel has told its rate the bins are laid out for CD audio.
  const double rate = engine.ChannelInfo.SamplingRate ? engine.ChannelInfo.SamplingRate : 44100;
  for (int i = 0; i < 10; ++i) {
    const int from = Bin(0.7 * kBandFrequencies[i], rate);
    const int to = Bin(i == 9 ? 22050.0 : 1.4 * kBandFrequencies[i], rate);
    float peak = 0;
    for (int b = from; b <= to; ++b) peak = std::max(peak, engine.FFTData[static_cast<std::size_t>(b)]);
    data.BandLevels[static_cast<std::size_t>(i)] = SpectrumLevel(peak);
  }
}

// Sample `index` of the interleaved waveform bytes: floats when the engine decodes to
// float, 16-bit integers otherwise.
float WaveformSample(const KELDAR_AUDIOVIDEO_API_EngineState& engine, int index) {
  if (engine.FloatSupport == 1) {
    float x = 0;
    std::memcpy(&x, engine.WaveformData.data() + 4 * index, sizeof x);
    return x;
  }
  std::int16_t x = 0;
  std::memcpy(&x, engine.WaveformData.data() + 2 * index, sizeof x);
  return static_cast<float>(x) / 32768.0f;
}

// Whether what `mode` draws differs between the two records.
bool ModeDataDiffers(std::int32_t mode, const TKELDARSkinEffectData& a, const TKELDARSkinEffectData& b) {
  switch (mode) {
    case 2: return a.BandLevels != b.BandLevels;
    case 3: return a.SpectrumLevels != b.SpectrumLevels;
    case 4: return a.ChannelSpectrumLevels != b.ChannelSpectrumLevels;
    case 5: return a.WaveformValues != b.WaveformValues;
    case 6: return a.ChannelWaveformValues != b.ChannelWaveformValues;
    default: return false;
  }
}

QRect ControlRegion(KELDARSkinControls_IDs id) {
  const TSkinControlRect r = SkinControlWindowRect(id);
  return {r.Left, r.Top, r.Width, r.Height};
}

}  // namespace

TLevelMeterPercents LevelMeterPercents(std::uint32_t level) {
  return {static_cast<std::int32_t>(((level & 0xFFFFu) * 100) >> 15),
          static_cast<std::int32_t>(((level >> 16) * 100) >> 15)};
}

void PrepareEqualizerEffectData(std::int32_t mode, const KELDAR_AUDIOVIDEO_API_EngineState& engine,
                                TKELDARSkinEffectData& data) {
  const bool mono = engine.ChannelInfo.Channels == 1;
  switch (mode) {
    case 2:
      PrepareBandPeaks(engine, data);
      break;
    case 3:
      for (std::size_t i = 0; i < 128; ++i) data.SpectrumLevels[i] = SpectrumLevel(engine.FFTData[4 * i]);
      break;
    case 4:
      // Stereo: 256 bins of interleaved left/right pairs, every fourth pair. Mono: 512 bins of
      // one channel, read at the same frequencies for both sides.
      for (std::size_t i = 0; i < 64; ++i) {
        if (mono) {
          const std::int32_t v = SpectrumLevel(engine.FFTChannelData[8 * i]);
          data.ChannelSpectrumLevels[i] = {v, v};
        } else {
          data.ChannelSpectrumLevels[i] = {SpectrumLevel(engine.FFTChannelData[8 * i]),
                                           SpectrumLevel(engine.FFTChannelData[8 * i + 1])};
        }
      }
      break;
    case 5:
      for (std::size_t i = 0; i < 512; ++i) data.WaveformValues[i] = WaveformLevel(engine.MixedWaveformData[i]);
      break;
    case 6:
      for (int i = 0; i < 256; ++i) {
        const std::int32_t left = WaveformLevel(WaveformSample(engine, mono ? i : 2 * i));
        const std::int32_t right = mono ? left : WaveformLevel(WaveformSample(engine, 2 * i + 1));
        data.ChannelWaveformValues[static_cast<std::size_t>(i)] = {left, right};
      }
      break;
    default:
      break;
  }
}

void FetchEqualizerEffectData(std::int32_t mode, TKELDARSkinEffectData& data) {
  KELDAR_AUDIOVIDEO_API_Operations& ops = KELDAR_AUDIOVIDEO_API_Slots();
  const auto call = [](const std::function<void()>& op) {
    if (op) op();
  };
  switch (mode) {
    case 2:
    case 3: call(ops.GetFFTData); break;
    case 4: call(ops.GetFFTChannelData); break;
    case 5: call(ops.GetMixedWaveformData); break;
    case 6: call(ops.GetWaveformData); break;
    default: return;
  }
  PrepareEqualizerEffectData(mode, KELDAR_AUDIOVIDEO_API_State(), data);
}

bool EqualizerWindowDataTick(QWidget* deck, QWidget* equalizer) {
  const bool deckShown = deck && deck->isVisible() && !deck->isMinimized();
  const bool equalizerShown = equalizer && equalizer->isVisible() && !equalizer->isMinimized();
  if (!deckShown && !equalizerShown) return false;

  KELDAR_AUDIOVIDEO_API_Operations& ops = KELDAR_AUDIOVIDEO_API_Slots();
  if (ops.GetLevel) ops.GetLevel();
  const TLevelMeterPercents meters = LevelMeterPercents(KELDAR_AUDIOVIDEO_API_State().Level);
  // A meter is drawn again only when it is on and shows another frame.
  const auto frames = [] {
    return std::pair{KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas),
                     KELDARSkinLevelMeterFrame(EqualizerForm_EQRightVolLevelCanvas)};
  };
  const auto before = frames();
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, meters.Left);
  SetSkinControlCurrentValue(EqualizerForm_EQRightVolLevelCanvas, meters.Right);
  const bool metersMoved = frames() != before && (GetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas) ||
                                                  GetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas));

  // Only the modes of shown canvases are worth the engine's data.
  const std::int32_t deckMode = deckShown ? KELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas) : 0;
  const std::int32_t equalizerMode = equalizerShown ? KELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas) : 0;
  TKELDARSkinEffectData& data = KELDARSkinEffectData();
  static TKELDARSkinEffectData previous;  // what the last tick left (a fixed record, no allocation)
  previous = data;
  FetchEqualizerEffectData(deckMode, data);
  if (equalizerMode != deckMode) FetchEqualizerEffectData(equalizerMode, data);

  // Modes 0, 1 and 7 do not follow the sound: their windows repaint when something else
  // moves; a still picture (paused, silence) is not drawn again either. Only the canvases and
  // meters are damaged, so only they are drawn again.
  bool moved = false;
  if (deckShown && ModeDataDiffers(deckMode, previous, data)) {
    deck->update(ControlRegion(DeckForm_GraphicsEffectsCanvas));
    moved = true;
  }
  if (equalizerShown) {
    if (ModeDataDiffers(equalizerMode, previous, data)) {
      equalizer->update(ControlRegion(EqualizerForm_EQGraphicsEffectsCanvas));
      moved = true;
    }
    if (metersMoved) {
      equalizer->update(ControlRegion(EqualizerForm_EQLeftVolLevelCanvas));
      equalizer->update(ControlRegion(EqualizerForm_EQRightVolLevelCanvas));
      moved = true;
    }
  }
  return moved;
}
