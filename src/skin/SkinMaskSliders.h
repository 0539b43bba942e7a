// Sliders driven by grey-level masks (skins that use masks): the grey pixel a value stands
// for, the value a pixel stands for, and drawing the three mask sliders. The masks are
// window-sized: a control's mask pixels lie under the control's window rectangle.
#pragma once

#include <QImage>
#include <QPainter>

#include "skin/KELDARSkinLoader.h"

// The mask of a mask slider (null image when there is none).
const QImage& KELDARSkinSliderMask(KELDARSkinControls_IDs id, const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
// Grey level 0..255 of a mask pixel, or -1 when the pixel is not grey or outside the mask.
int KELDARSkinMaskGreyLevel(const QImage& mask, int x, int y);

// The value of the grey pixel under the control's stored point (0 for black or no grey).
std::int32_t MaskSliderValueFromPoint(KELDARSkinControls_IDs id, const QImage& mask,
                                      const MultimediaSkinStructure& skin = MultimediaSkin());
// Stores the point of the brightest grey pixel not above the value's level; the value read
// back from that point becomes the control's value.
void SetMaskSliderValue(KELDARSkinControls_IDs id, std::int32_t value, const QImage& mask,
                        MultimediaSkinStructure& skin = MultimediaSkin());

// Moves a slider the way the loaded skin draws it: onto its mask's pixel for the value when
// the skin uses masks and the slider is one of the mask sliders, else by the track rule.
void SetLoadedSkinSliderValue(KELDARSkinControls_IDs id, std::int32_t value);

// Volume and pitch: one strip frame with magenta transparent; position: the mask's grey
// pixels below the value's level from the strip, the rest from the unlit sheet.
void PaintKELDARSkinMaskSlider(QPainter& painter, KELDARSkinControls_IDs id,
                               const MultimediaSkinStructure& skin = MultimediaSkin(),
                               const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
