// The kinds of skin controls. Stored as one byte; the order is fixed because the
// runtime and the converters compare kinds by value.
#pragma once

#include <cstdint>

enum KELDARSkinControlTypes : std::uint8_t {
  KELDARSkinMainImageControl = 0,
  KELDARSkinMainImageResizableControl = 1,
  KELDARSkinTitleBarControl = 2,
  KELDARSkinResizableBorderControl = 3,
  KELDARSkinAppButtonControl = 4,
  KELDARSkinButtonControl = 5,
  KELDARSkinButtonToggleControl = 6,
  KELDARSkinSliderControl = 7,
  KELDARSkinSliderButtonControl = 8,
  KELDARSkinDigitalDisplayGlyphControl = 9,
  KELDARSkinDigitalDisplayGlyphPlayerStateControl = 10,
  KELDARSkinDigitalDisplayTextControl = 11,
  KELDARSkinDigitalDisplayNumbersControl = 12,
  KELDARSkinDigitalDisplayEffects = 13,
  KELDARSkinComplementalControl = 14,
  KELDARSkinAssistantControl = 15,
  KELDARSkinPanelControl = 16,
  KELDARSkinResizableFormButtonOfControl = 17,
  KELDARSkinMarkStartAndEndControl = 18,
  KELDARSkinEmptyControl = 19,
};

inline constexpr int KELDARSkinControlTypesCount = 20;
