// The skin-drawn displays of the skinned windows: deck texts and times, the player-state
// glyph and transmission lamp, the equalizer level meters, the two effect canvases and the
// counters of the playlist, visuals and library windows. The window runtime calls the
// painter for each control of its paint pass. UI thread only.
#pragma once
#include <QPainter>

#include "skin/KELDARSkinControls_IDs.h"
#include "skin/KELDARSkinWindows.h"

// Paints a display-kind control in the window's paint pass; false when the control is not a display.
bool PaintKELDARSkinDisplayControl(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id);
// After every skin load: cell counts, transparent flags, effect counters, blink phase, lamp animation.
void ResetKELDARSkinDisplaysAfterLoad();
