// Building the live control table from a family's built-in catalogue.
#pragma once

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinCatalogueRow.h"
#include "skin/MultimediaSkinStructure.h"

// The built-in catalogue of a family.
const TKELDARSkinCatalogue& KELDARSkinCatalogueOf(TKELDARSkinFamily family);

// Resets the twelve sets (window and global sets emptied; the panel sets get their fixed
// contents, or are emptied for K-Jofol skins, which have no pop-up panels) and sets every
// row of the table from the family's catalogue. Click procedures and alias arrays are
// left as they are.
void BuildKELDARSkinCatalogue(TKELDARSkinFamily family, MultimediaSkinStructure& skin = MultimediaSkin(),
                              TSkinControlsLists& lists = SkinControlsLists());
