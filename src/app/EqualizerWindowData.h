// The equalizer window's 20 ms work: the level of the playing channel into both level meters,
// and for the deck's and the equalizer's effect mode the spectrum or waveform data that mode
// draws (ten band peaks, 128 bars, 64 channel pairs, 512 mixed points, 256 waveform pairs),
// then the repaints. Works in fixed buffers: nothing is allocated per tick. UI thread only.
#pragma once

#include <cstdint>

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "skin/KELDARSkinEffectData.h"

class QWidget;

// Left and right meter percents from the level word (low word left, high word right).
struct TLevelMeterPercents {
  std::int32_t Left = 0, Right = 0;
};
TLevelMeterPercents LevelMeterPercents(std::uint32_t level);

// Asks the engine for the data of effect mode `mode` and writes what that mode draws into
// `data`. Modes other than 2 to 6 do nothing.
void FetchEqualizerEffectData(std::int32_t mode, TKELDARSkinEffectData& data);
// The same from engine buffers already fetched (the part without engine calls).
void PrepareEqualizerEffectData(std::int32_t mode, const KELDAR_AUDIOVIDEO_API_EngineState& engine,
                                TKELDARSkinEffectData& data);

// One tick: nothing while neither window is shown; otherwise the meters, the data of the
// shown canvases' modes (each mode once) and a repaint of each shown window whose display
// moved. True when something moved (a repaint was asked for).
bool EqualizerWindowDataTick(QWidget* deck, QWidget* equalizer);
