// The paint pass of a skinned window: every control of its set in identifier order, by
// kind, so later controls cover earlier ones. Paints into any QPainter (a back buffer, an
// image in a test or bench). UI thread only.
#pragma once

#include <QPainter>
#include <QRegion>

#include <cstdint>
#include <string>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinLoader.h"

// The sprite sheet of a resizable window (null for fixed windows).
const QImage* KELDARSkinResizableSheet(TKELDARSkinnedWindow window, const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());

// The slider track with its knob (strip frames, tiled tracks or, in mask mode, the masks).
void PaintKELDARSkinSlider(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs track,
                           const MultimediaSkinStructure& skin = MultimediaSkin(),
                           const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());

// One control that shows a state image (buttons, toggles, lamps, title bars, canvases).
void PaintKELDARSkinStateControl(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                                 const MultimediaSkinStructure& skin = MultimediaSkin(),
                                 const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());

// The whole window at client size width x height. Resizable windows store their frame
// positions on the way (that is why the table is not const).
void PaintKELDARSkinWindow(QPainter& painter, TKELDARSkinnedWindow window, const Form_ControlsList& controls,
                           int width, int height, MultimediaSkinStructure& skin = MultimediaSkin(),
                           const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
// The same for the part of a fixed-size window inside `part` (the painter clipped to it by
// the caller): the background, then only the controls that meet the part.
void PaintKELDARSkinWindowPart(QPainter& painter, TKELDARSkinnedWindow window, const Form_ControlsList& controls,
                               int width, int height, const QRegion& part, MultimediaSkinStructure& skin = MultimediaSkin(),
                               const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());

// What a control's picture is drawn from besides the skin's bitmaps and the display settings
// a load fixes: equal keys draw the same pixels. (The effect canvases and level meters draw
// data of their own; their timer repaints them.)
struct TSkinControlPaintKey {
  bool Enabled = false;
  std::int32_t State = 0, Clicked = 0, Value = 0, Images = 0;
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // in the window
  std::int32_t Related = 0;  // the state of another control this one's picture follows
  std::string Text;
};
// Brings key up to the control's; says whether anything in it moved.
bool TakeSkinControlPaintKey(KELDARSkinControls_IDs id, TSkinControlPaintKey& key,
                             const MultimediaSkinStructure& skin = MultimediaSkin());

bool IsKELDARSkinResizableWindow(TKELDARSkinnedWindow window);
KELDARSkinControls_IDs KELDARSkinWindowBackground(TKELDARSkinnedWindow window);
