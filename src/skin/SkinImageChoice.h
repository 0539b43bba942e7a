// Which state image a control shows, by its kind and its mouse states. The result is the
// wanted role; drawing maps it through the control's alias array.
#pragma once

#include "skin/StringIdentStructure.h"

// Title bars, window buttons and push buttons: lit while pressed or forced lit.
BitmapPurposeStates SkinPushButtonImage(const StringIdentStructure& control);
// Two-state buttons: pressed images while held (by the state before the flip), else by state.
BitmapPurposeStates SkinToggleButtonImage(const StringIdentStructure& control);
// Indicator lamps: lit only when forced lit.
BitmapPurposeStates SkinLampImage(const StringIdentStructure& control);
// Effect canvases and their sub-areas: each of the four mouse states has its own image.
BitmapPurposeStates SkinEffectsCanvasImage(const StringIdentStructure& control);
// The image of any state-image kind (backgrounds of fixed windows: the unlit sheet).
BitmapPurposeStates SkinControlImage(const StringIdentStructure& control);
// True for a pressed (or forced lit) push-style control: window and frame buttons draw
// their second sprite then.
bool IsSkinButtonShownPressed(const StringIdentStructure& control);
