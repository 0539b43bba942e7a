#include "skin/KELDARSkinCatalogue.h"

#include "skin/KELDARSkinKjofolCatalogue.h"
#include "skin/KELDARSkinOwnCatalogue.h"
#include "skin/KELDARSkinWinampCatalogue.h"

const TKELDARSkinCatalogue& KELDARSkinCatalogueOf(TKELDARSkinFamily family) {
  switch (family) {
    case TKELDARSkinFamily::Winamp: return KELDARSkinWinampCatalogue();
    case TKELDARSkinFamily::Kjofol: return KELDARSkinKjofolCatalogue();
    case TKELDARSkinFamily::Own: break;
  }
  return KELDARSkinOwnCatalogue();
}

void BuildKELDARSkinCatalogue(TKELDARSkinFamily family, MultimediaSkinStructure& skin, TSkinControlsLists& lists) {
  const Form_ControlsList empty;
  for (auto window : {TSkinWindowOfControl::Deck, TSkinWindowOfControl::Equalizer, TSkinWindowOfControl::PlayListEditor,
                      TSkinWindowOfControl::VisualsScreen, TSkinWindowOfControl::CDDatabase,
                      TSkinWindowOfControl::FullScreen, TSkinWindowOfControl::Global})
    lists.Window(window) = empty;
  for (int k = 0; k < 5; ++k)
    lists.PanelButtons[static_cast<std::size_t>(k)] =
        family == TKELDARSkinFamily::Kjofol ? empty : FixedPanelButtons(k);

  const TKELDARSkinCatalogue& rows = KELDARSkinCatalogueOf(family);
  for (std::size_t i = 0; i < KELDARSkinControlsCount; ++i) {
    const TKELDARSkinCatalogueRow& row = rows[i];
    StringIdentStructure& control = skin.Ident_Variables[i];
    control.IdentString = std::string(KELDARSkinControlIdentStrings[i]);
    control.Control_Enabled = row.Enabled;
    control.Control_Type = row.Kind;
    control.Control_NEWMouseState = row.NEWMouseState;
    control.Control_CLICKEDMouseState = row.CLICKEDMouseState;
    control.Control_TextString = row.Hint;
    control.Control_CurrentValue = 0;
    control.Control_Tile = row.Tile;
    control.Control_Child = row.Child;
    control.Control_ParentControl = row.Parent;
    lists.Window(row.Window).set(i);
    control.Control_Left = row.Left;
    control.Control_Top = row.Top;
    control.Control_Width = row.Width;
    control.Control_Height = row.Height;
    control.Control_NumberOfImages = row.NumberOfImages;
    control.Control_Direction = row.Direction;
  }
}
