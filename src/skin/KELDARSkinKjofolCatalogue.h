// The built-in catalogue of converted K-Jofol skins. A K-Jofol skin describes one window
// with absolute coordinates, so every control its commands place has a parent at 0,0;
// everything starts disabled and the conversion enables what the skin defines. The
// equalizer's band sliders, pre-amp and on button live on the deck; the skins have no
// pop-up panels.
#pragma once

#include "skin/KELDARSkinOwnCatalogue.h"

namespace KELDARSkinKjofolCatalogueDetail {

constexpr TKELDARSkinCatalogue MakeKELDARSkinKjofolCatalogue() {
  TKELDARSkinCatalogue c = KELDARSkinOwnCatalogueDetail::MakeKELDARSkinOwnCatalogue();
  using W = TSkinWindowOfControl;

  for (int id = 2; id <= 43; ++id) c[id].Enabled = false;
  for (int id = 46; id <= 86; ++id) c[id].Enabled = false;
  for (int id = 97; id <= 129; ++id) c[id].Enabled = false;

  c[28].Direction = c[29].Direction = false;
  for (int id : {3, 4, 5}) c[id].Parent = DeckForm_MainImage;

  // Equalizer controls shown inside the deck.
  c[50].Parent = DeckForm_MainImage;
  c[50].Window = W::Deck;
  for (int k = 0; k <= 10; ++k) {  // k = 0: preamp, 1..10: bands
    const int knob = 57 + 2 * k;
    c[knob].Window = W::Deck;
    c[knob + 1].Window = W::Deck;
    c[knob + 1].Parent = DeckForm_MainImage;
  }
  for (int area : {83, 85, 86}) {
    c[area].Parent = DeckForm_GraphicsEffectsCanvas;
    c[area].Window = W::Deck;
  }
  // The rest of the equalizer has nothing to show: its window keeps only its frame.
  for (int id : {51, 52, 53, 54, 55, 56, 79, 80, 81, 82, 84}) c[id].Window = W::Global;

  // Playlist controls placed by absolute coordinates.
  for (int id : {97, 101}) c[id].Parent = PlayListEditorForm_PLTitleBarLeftImage;
  for (int id = 113; id <= 127; ++id) c[id].Parent = PlayListEditorForm_PLMainImage;
  for (int id : {102, 128, 129}) c[id].Parent = PlayListEditorForm_PLMainImage;
  for (int id = 103; id <= 107; ++id) c[id].Child = SkinId(id);
  return c;
}

}  // namespace KELDARSkinKjofolCatalogueDetail

const TKELDARSkinCatalogue& KELDARSkinKjofolCatalogue();
