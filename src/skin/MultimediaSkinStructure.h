// The table of every skin control. One process-wide instance is the live skin that the
// loader fills, the skinned windows paint and the rest of the program reads and sets.
// Used on the user-interface thread only.
#pragma once

#include <array>

#include "skin/StringIdentStructure.h"

struct MultimediaSkinStructure {
  std::array<StringIdentStructure, KELDARSkinControlsCount> Ident_Variables;

  StringIdentStructure& operator[](KELDARSkinControls_IDs id) { return Ident_Variables[id]; }
  const StringIdentStructure& operator[](KELDARSkinControls_IDs id) const { return Ident_Variables[id]; }
};

// The live skin.
MultimediaSkinStructure& MultimediaSkin();

// Resets all 174 alias arrays to the identity (done by every skin load).
void ResetKELDARSkinStatesAliases(MultimediaSkinStructure& skin = MultimediaSkin());
