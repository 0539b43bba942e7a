// A skin's text files: keldarskin.ini (the definition), the text settings and the regions.
#include "FuzzInput.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/KELDARSkinTextSettings.h"
#include "skin/MultimediaSkinStructure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  static MultimediaSkinStructure skin;
  // A bad definition is refused with ESkinDefinitionError (the loader's failure path).
  try {
    ReadKELDARSkinDefinition(text, skin);
  } catch (const ESkinDefinitionError&) {
  }
  KELDARSkinDefinitionText(skin);
  try {
    ParseKELDARSkinDefinitionValue(text);
  } catch (const ESkinDefinitionError&) {
  }
  ParseKELDARSkinTextSettings(text);
  uint32_t colour = 0;
  ParseKELDARSkinColour(text, colour);
  ParseKELDARFontStyle(text);
  for (const TKELDARSkinRegion& region : ParseKELDARSkinRegions(text)) ParseKELDARSkinPolygons(region);
  return 0;
}
