// The two effect canvases (deck and equalizer) with their modes 0..7: background image per
// mode, preamp line and red equalizer curve (1), ten band bars (2), 128-band bars (3),
// per-channel bars (4), waveform dots (5), per-channel dots (6), the visuals image (7); and
// which mode a click moves to. The modes live in Options_DeckCurrentVisualEffect and
// Options_EQCurrentVisualEffect. UI thread only.
#pragma once
#include <QPainter>
#include <cstdint>

#include "skin/KELDARSkinEffectData.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"

// The mode setting of a canvas (DeckForm_GraphicsEffectsCanvas or
// EqualizerForm_EQGraphicsEffectsCanvas); other ids read 0 and are not stored.
std::int32_t KELDARSkinEffectMode(KELDARSkinControls_IDs canvas);
void SetKELDARSkinEffectMode(KELDARSkinControls_IDs canvas, std::int32_t mode);

// True when the area is enabled and placed on this canvas.
bool KELDARSkinEffectAreaOnCanvas(KELDARSkinControls_IDs area, KELDARSkinControls_IDs canvas,
                                  const MultimediaSkinStructure& skin = MultimediaSkin());
// 0 and 7 always; 1 preamp line, 2 ten-band area, 3 and 5 the 128-band area, 4 and 6 the
// left-channel area on this canvas (4 and 6 never for converted skins).
bool KELDARSkinEffectModeAvailable(KELDARSkinControls_IDs canvas, std::int32_t mode,
                                   const MultimediaSkinStructure& skin = MultimediaSkin(),
                                   const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
// The next available mode after `current` (after 7 comes 0).
std::int32_t NextKELDARSkinEffectMode(KELDARSkinControls_IDs canvas, std::int32_t current,
                                      const MultimediaSkinStructure& skin = MultimediaSkin(),
                                      const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
// A click on the canvas: stores and returns the next mode.
std::int32_t AdvanceKELDARSkinEffectMode(KELDARSkinControls_IDs canvas);

// Paints the canvas in its current mode.
bool PaintKELDARSkinEffectCanvas(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs canvas,
                                 const MultimediaSkinStructure& skin = MultimediaSkin(),
                                 const TKELDARLoadedSkin& loaded = LoadedKELDARSkin(),
                                 const TKELDARSkinEffectData& data = KELDARSkinEffectData());
// The same with the mode given.
bool PaintKELDARSkinEffectCanvasMode(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs canvas,
                                     std::int32_t mode, const MultimediaSkinStructure& skin,
                                     const TKELDARLoadedSkin& loaded, const TKELDARSkinEffectData& data);
