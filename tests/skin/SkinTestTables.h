// A freshly built control table and its sets, for tests that must not touch the live skin.
#pragma once

#include <memory>

#include "skin/KELDARSkinCatalogue.h"

struct TBuiltSkin {
  std::unique_ptr<MultimediaSkinStructure> Skin = std::make_unique<MultimediaSkinStructure>();
  TSkinControlsLists Lists;

  explicit TBuiltSkin(TKELDARSkinFamily family) { BuildKELDARSkinCatalogue(family, *Skin, Lists); }
  StringIdentStructure& operator[](int id) { return Skin->Ident_Variables[static_cast<std::size_t>(id)]; }
};
