#include "skin/KELDARSkinControls_IDs.h"

std::optional<KELDARSkinControls_IDs> FindKELDARSkinControlByIdentString(std::string_view text) {
  for (std::size_t i = 0; i < KELDARSkinControlsCount; ++i)
    if (KELDARSkinControlIdentStrings[i] == text) return static_cast<KELDARSkinControls_IDs>(i);
  return std::nullopt;
}
