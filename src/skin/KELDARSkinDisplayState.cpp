#include "skin/KELDARSkinDisplayState.h"

#include <algorithm>

#include "skin/KELDARSkinEffectData.h"

namespace {

struct TPendingSwitchOffs {
  bool TimeDisplays = false;
  bool OtherDisplays = false;
};
TPendingSwitchOffs& Pending() {
  static TPendingSwitchOffs p;
  return p;
}

bool IsTimeDisplay(KELDARSkinControls_IDs id) {
  return id == DeckForm_SongCurrectPlayingTimeWindow || id == DeckForm_SongTotalTimeWindow;
}

}  // namespace

TKELDARSkinDisplayState& KELDARSkinDisplayState() {
  static TKELDARSkinDisplayState state;
  return state;
}

TKELDARSkinEffectData& KELDARSkinEffectData() {
  static TKELDARSkinEffectData data;
  return data;
}

std::int32_t KELDARSkinDisplayCellCount(KELDARSkinControls_IDs id) {
  if (!IsKELDARSkinControlOrdinal(static_cast<int>(id))) return 0;
  // These two follow the family settings that the load fixes last of all.
  if (id == DeckForm_SongCurrectPlayingTimeWindow) return LoadedKELDARSkin().Family.PlayedTimeCells;
  if (id == PlayListEditorForm_PLTextWindow1) return LoadedKELDARSkin().Family.FileCountCells;
  return KELDARSkinDisplayState().Cells[id];
}

bool KELDARSkinDisplayTransparent(KELDARSkinControls_IDs id) {
  if (!IsKELDARSkinControlOrdinal(static_cast<int>(id))) return false;
  return KELDARSkinDisplayState().TransparentText[id];
}

void SwitchOffKELDARSkinTransparentText(bool timeDisplays) {
  (timeDisplays ? Pending().TimeDisplays : Pending().OtherDisplays) = true;
}

void SetKELDARSkinFontKeyColours(std::uint32_t smallFont, std::uint32_t numbersFont) {
  KELDARSkinDisplayState().SmallFontKeyColour = smallFont;
  KELDARSkinDisplayState().NumbersKeyColour = numbersFont;
}

void ResetKELDARSkinDisplayState(const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  TKELDARSkinDisplayState& s = KELDARSkinDisplayState();
  s.Cells.fill(0);
  const std::int32_t cellWidth = skin[DeckForm_FontSmall].Control_Width;
  const auto lineCells = [&](KELDARSkinControls_IDs id) {
    return cellWidth > 0 ? std::max(0, skin[id].Control_Width) / cellWidth : 0;
  };
  s.Cells[DeckForm_SongCurrectPlayingTimeWindow] = loaded.Family.PlayedTimeCells;
  s.Cells[DeckForm_SongTotalTimeWindow] = 6;
  s.Cells[DeckForm_KbpsTextWindow] = 3;
  s.Cells[DeckForm_KHzTextWindow] = 5;
  s.Cells[DeckForm_PlayerStatusWindow] = 7;
  s.Cells[DeckForm_SongArtistWindow] = lineCells(DeckForm_SongArtistWindow);
  s.Cells[DeckForm_SongTitleWindow] = lineCells(DeckForm_SongTitleWindow);
  s.Cells[PlayListEditorForm_PLTextWindow1] = loaded.Family.FileCountCells;
  s.Cells[PlayListEditorForm_PLTextWindow2] = 5;
  s.Cells[VisualsScreenForm_VisExTextWindow] = 12;
  s.Cells[CDDatabaseForm_DBTextWindow] = 12;

  s.TransparentText.fill(false);
  for (KELDARSkinControls_IDs id : KELDARSkinFlaggedDisplays) {
    const bool off = IsTimeDisplay(id) ? Pending().TimeDisplays : Pending().OtherDisplays;
    s.TransparentText[id] = loaded.Family.TransparentText && !off;
  }
  Pending() = {};

  s.ArtistEffectCounter = 0;
  s.TitleEffectCounter = 0;
  s.BlinkBlankShown = false;
  s.BlinkSavedTimeText = "  :  ";
  s.FileTypeLampCode = 0;
  s.FileTypeLampAnimation = true;
}
