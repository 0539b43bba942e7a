#include "skin/KELDARSkinWinampCatalogue.h"

namespace {
constexpr TKELDARSkinCatalogue kWinampCatalogue = KELDARSkinWinampCatalogueDetail::MakeKELDARSkinWinampCatalogue();
}

const TKELDARSkinCatalogue& KELDARSkinWinampCatalogue() { return kWinampCatalogue; }
