#include "skin/KELDARSkinKjofolCatalogue.h"

namespace {
constexpr TKELDARSkinCatalogue kKjofolCatalogue = KELDARSkinKjofolCatalogueDetail::MakeKELDARSkinKjofolCatalogue();
}

const TKELDARSkinCatalogue& KELDARSkinKjofolCatalogue() { return kKjofolCatalogue; }
