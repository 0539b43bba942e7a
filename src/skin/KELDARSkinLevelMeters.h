// The equalizer's two level meters: while on (Control_CLICKEDMouseState = meMouseClicked)
// frame round(v·(N−1)/100) of "Equalizer_VolLevelVisuals.bmp" for the meter's value v;
// while off, the equalizer's unlit sheet. UI thread only.
#pragma once
#include <QPainter>
#include <cstdint>

#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"

// The frame a meter shows for its current value (clamped to 0..100).
std::int32_t KELDARSkinLevelMeterFrame(KELDARSkinControls_IDs meter, const MultimediaSkinStructure& skin = MultimediaSkin());
bool PaintKELDARSkinLevelMeter(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs meter,
                               const MultimediaSkinStructure& skin = MultimediaSkin(),
                               const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
