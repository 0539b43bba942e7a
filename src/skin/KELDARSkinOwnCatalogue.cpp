#include "skin/KELDARSkinOwnCatalogue.h"

namespace {
constexpr TKELDARSkinCatalogue kOwnCatalogue = KELDARSkinOwnCatalogueDetail::MakeKELDARSkinOwnCatalogue();
}

const TKELDARSkinCatalogue& KELDARSkinOwnCatalogue() { return kOwnCatalogue; }
