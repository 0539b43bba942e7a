// The built-in catalogue of converted Winamp skins: the own rows with the classic Winamp
// layout (275 x 116 windows), the spectrum areas on the deck's effects canvas and the
// controls Winamp skins have no pictures for disabled.
#pragma once

#include "skin/KELDARSkinOwnCatalogue.h"

namespace KELDARSkinWinampCatalogueDetail {

constexpr void Disable(TKELDARSkinCatalogue& c, std::initializer_list<int> ids) {
  for (int id : ids) c[id].Enabled = false;
}

constexpr TKELDARSkinCatalogue MakeKELDARSkinWinampCatalogue() {
  TKELDARSkinCatalogue c = KELDARSkinOwnCatalogueDetail::MakeKELDARSkinOwnCatalogue();

  // Deck.
  SetRect(c[1], 0, 0, 275, 116);
  SetRect(c[2], 0, 0, 275, 14);
  SetRect(c[3], 6, 3, 9, 9);
  SetRect(c[4], 244, 3, 9, 9);
  SetRect(c[5], 264, 3, 9, 9);
  SetRect(c[6], 16, 88, 23, 18);
  SetRect(c[7], 39, 88, 23, 18);
  SetRect(c[8], 62, 88, 23, 18);
  SetRect(c[9], 85, 88, 23, 18);
  SetRect(c[10], 108, 88, 22, 18);
  SetRect(c[11], 137, 90, 22, 16);
  SetRect(c[13], 210, 90, 28, 15);
  SetRect(c[14], 164, 90, 47, 15);
  SetRect(c[15], 219, 58, 23, 12);
  SetRect(c[16], 242, 58, 23, 12);
  SetRect(c[19], 212, 41, 27, 12);
  SetRect(c[20], 240, 41, 29, 12);
  SetRect(c[26], 24, 28, 3, 9);
  SetRect(c[27], 27, 28, 9, 9);
  SetRect(c[28], 0, 1, 14, 11);
  SetRect(c[29], 107, 57, 68, 13);
  c[29].NumberOfImages = 29;
  c[28].Direction = c[29].Direction = false;
  SetRect(c[30], 0, 1, 14, 11);
  SetRect(c[31], 177, 57, 38, 13);
  c[31].NumberOfImages = 56;
  SetRect(c[34], 0, 0, 29, 10);
  SetRect(c[35], 16, 72, 248, 10);
  c[35].NumberOfImages = 1;
  SetRect(c[36], 36, 26, 75, 13);
  SetRect(c[38], 111, 43, 15, 6);
  SetRect(c[39], 156, 43, 10, 6);
  SetRect(c[41], 111, 27, 155, 6);
  SetRect(c[43], 24, 43, 76, 16);
  c[43].Enabled = true;
  SetRect(c[44], 0, 0, 9, 13);
  SetRect(c[45], 0, 0, 5, 6);
  Disable(c, {12, 17, 18, 21, 22, 23, 24, 25, 32, 33, 37, 40, 42});

  // Equalizer.
  SetRect(c[46], 0, 0, 275, 116);
  SetRect(c[47], 0, 0, 275, 14);
  SetRect(c[49], 264, 3, 9, 9);
  SetRect(c[50], 14, 18, 25, 12);
  SetRect(c[51], 39, 18, 33, 12);
  SetRect(c[52], 217, 18, 44, 12);
  for (int k = 0; k <= 10; ++k) {  // k = 0: preamp, 1..10: bands
    const int knob = 57 + 2 * k;
    SetRect(c[knob], 1, 0, 11, 11);
    SetRect(c[knob + 1], k == 0 ? 21 : 78 + 18 * (k - 1), 38, 14, 63);
    c[knob + 1].NumberOfImages = 29;
  }
  c[79].Direction = c[80].Direction = false;
  SetRect(c[81], 86, 17, 113, 19);
  SetRect(c[82], 0, 0, 113, 1);
  // Winamp shows its spectrum in the deck's display.
  for (int area : {83, 85, 86}) {
    c[area].Parent = DeckForm_GraphicsEffectsCanvas;
    c[area].Window = TSkinWindowOfControl::Deck;
  }
  SetRect(c[83], 6, 0, 64, 16);
  SetRect(c[85], 0, 0, 6, 16);
  c[85].NumberOfImages = 16;
  SetRect(c[86], 6, 0, 64, 16);
  Disable(c, {48, 53, 54, 55, 56, 79, 80, 84});

  // Playlist editor, 275 x 116 at its minimum.
  SetRect(c[87], 0, 0, 275, 116);
  SetRect(c[88], 0, 0, 25, 20);
  SetRect(c[89], 250, 0, 25, 20);
  SetRect(c[90], 25, 0, 25, 20);
  SetRect(c[91], 75, 0, 100, 20);
  SetRect(c[92], 0, 20, 12, 29);
  SetRect(c[93], 255, 20, 20, 29);
  SetRect(c[94], 0, 78, 125, 38);
  SetRect(c[95], 125, 78, 150, 38);
  SetRect(c[96], 125, 78, 25, 38);
  SetRect(c[97], 14, 3, 9, 9);
  SetRect(c[100], 5, 20, 20, 29);
  SetRect(c[99], 5, 0, 8, 18);
  // The list arrows and the list menu are drawn on Winamp's bottom-right piece.
  c[101].Parent = PlayListEditorForm_PLBottomRightImage;
  SetRect(c[101], 135, 2, 8, 5);
  SetRect(c[102], 135, 7, 8, 5);
  for (int k = 0; k < 5; ++k) {
    SetRect(c[103 + k], 11 + 29 * k, 8, 25, 18);
    SetRect(c[108 + k], 0, -54, 25, 54);
    for (int r = 0; r < 3; ++r) SetRect(c[113 + 3 * k + r], 0, 36 - 18 * r, 25, 18);
  }
  c[107].Parent = PlayListEditorForm_PLBottomRightImage;
  SetRect(c[107], 103, 8, 25, 18);
  Disable(c, {98});

  // Visuals, library and full-screen bar keep the own geometry.
  Disable(c, {141, 154, 155, 156, 157, 158, 159, 160, 161});
  return c;
}

}  // namespace KELDARSkinWinampCatalogueDetail

const TKELDARSkinCatalogue& KELDARSkinWinampCatalogue();
