// Reading and setting the live state of single skin controls. Every function takes the
// table as its last argument (the live skin by default). Identifiers outside 0..173 are
// ignored (setters) or read as zero/false/empty (getters). UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "skin/MultimediaSkinStructure.h"

// A control's rectangle in window client coordinates: its parent's Left/Top plus its own
// (one level only).
struct TSkinControlRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};
TSkinControlRect SkinControlWindowRect(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin = MultimediaSkin());

// Slider value 0..100 (and the player-state frame or a meter level for those controls).
std::int32_t GetSkinControlValue(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin = MultimediaSkin());
// Clamps to 0..100, moves the knob coordinate (Control_NEWX for horizontal tracks,
// Control_NEWY for vertical ones) and, for slider tracks only, stores the value.
void SetSkinSliderValue(KELDARSkinControls_IDs id, std::int32_t value, MultimediaSkinStructure& skin = MultimediaSkin());
// Stores a value as it is (meters, the player-state frame).
void SetSkinControlCurrentValue(KELDARSkinControls_IDs id, std::int32_t value,
                                MultimediaSkinStructure& skin = MultimediaSkin());

// Toggle state: true = meMouseClicked; any other stored value reads as false.
bool GetSkinToggleState(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin = MultimediaSkin());
void SetSkinToggleState(KELDARSkinControls_IDs id, bool on, MultimediaSkinStructure& skin = MultimediaSkin());

// Sets Control_NEWMouseState; meMouseUp also flips Control_CLICKEDMouseState (for every
// kind): meMouseNOTClicked becomes meMouseClicked, anything else meMouseNOTClicked.
void SetSkinControlMouseState(KELDARSkinControls_IDs id, SkinControlMouseEvents state,
                              MultimediaSkinStructure& skin = MultimediaSkin());

std::string GetSkinControlText(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin = MultimediaSkin());
void SetSkinControlText(KELDARSkinControls_IDs id, const std::string& text, MultimediaSkinStructure& skin = MultimediaSkin());
std::string GetSkinControlProcessedText(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin = MultimediaSkin());
void SetSkinControlProcessedText(KELDARSkinControls_IDs id, const std::string& text,
                                 MultimediaSkinStructure& skin = MultimediaSkin());

// One entry of the alias array: the role drawn when `wanted` is asked for. A role outside
// 0..3 reads as itself and is not stored.
BitmapPurposeStates GetSkinControlStateAlias(KELDARSkinControls_IDs id, BitmapPurposeStates wanted,
                                             const MultimediaSkinStructure& skin = MultimediaSkin());
void SetSkinControlStateAlias(KELDARSkinControls_IDs id, BitmapPurposeStates wanted, BitmapPurposeStates used,
                              MultimediaSkinStructure& skin = MultimediaSkin());

void BindSkinControlClickProcedure(KELDARSkinControls_IDs id, KELDARSkin_ControlClickProcedureType procedure,
                                   MultimediaSkinStructure& skin = MultimediaSkin());

// Stores the last mouse position inside the control; ignored for disabled controls.
void StoreSkinControlMousePosition(KELDARSkinControls_IDs id, std::int32_t x, std::int32_t y,
                                   MultimediaSkinStructure& skin = MultimediaSkin());

// Round to nearest, halves to even (the rounding every skin computation uses).
std::int32_t SkinRoundHalfEven(double value);
