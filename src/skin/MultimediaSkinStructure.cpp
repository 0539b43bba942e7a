#include "skin/MultimediaSkinStructure.h"

MultimediaSkinStructure& MultimediaSkin() {
  static MultimediaSkinStructure live;
  return live;
}

void ResetKELDARSkinStatesAliases(MultimediaSkinStructure& skin) {
  for (auto& control : skin.Ident_Variables) control.Control_BitmapsStatesAliases = IdentityControlStatesAliases;
}
