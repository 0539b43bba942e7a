// What the skin displays remember between ticks: cell counts and transparent-text flags per
// display, the two font key colours, the text-effect counters, the pause blink, the
// file-type lamp code with its idle animation. Set by every skin load
// (ResetKELDARSkinDisplayState), then changed by the deck controller through the functions
// of the effect, lamp and blink units. UI thread only.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "skin/KELDARSkinControls_IDs.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"

struct TKELDARSkinDisplayState {
  std::array<std::int32_t, KELDARSkinControlsCount> Cells{};
  std::array<bool, KELDARSkinControlsCount> TransparentText{};
  // 0x00BBGGRR; written by the K-Jofol conversion, kept across loads of other skins
  // (their displays are never transparent).
  std::uint32_t SmallFontKeyColour = 0;
  std::uint32_t NumbersKeyColour = 0;
  std::int32_t ArtistEffectCounter = 0;
  std::int32_t TitleEffectCounter = 0;
  bool BlinkBlankShown = false;
  std::string BlinkSavedTimeText = "  :  ";
  std::int32_t FileTypeLampCode = 0;
  bool FileTypeLampAnimation = true;
};
TKELDARSkinDisplayState& KELDARSkinDisplayState();

// The displays that have a transparent-text flag: played time, total time, kbps, kHz,
// artist, title, status, the two playlist counters, visual name, song count.
inline constexpr std::array<KELDARSkinControls_IDs, 11> KELDARSkinFlaggedDisplays = {
    DeckForm_SongCurrectPlayingTimeWindow, DeckForm_SongTotalTimeWindow, DeckForm_KbpsTextWindow,
    DeckForm_KHzTextWindow,           DeckForm_SongArtistWindow,      DeckForm_SongTitleWindow,
    DeckForm_PlayerStatusWindow,      PlayListEditorForm_PLTextWindow1, PlayListEditorForm_PLTextWindow2,
    VisualsScreenForm_VisExTextWindow, CDDatabaseForm_DBTextWindow};

// Characters per display (0 for controls that are not cell displays). The played time and
// the playlist file count follow the family settings, which the load fixes last.
std::int32_t KELDARSkinDisplayCellCount(KELDARSkinControls_IDs id);
bool KELDARSkinDisplayTransparent(KELDARSkinControls_IDs id);

// The K-Jofol conversion runs inside the load, before the state is reset: it records here
// which of its displays stay opaque ("TimeFontTransparent 0": the two time displays;
// "FontTransparent 0": the nine others). The next reset applies and forgets them.
void SwitchOffKELDARSkinTransparentText(bool timeDisplays);
void SetKELDARSkinFontKeyColours(std::uint32_t smallFont, std::uint32_t numbersFont);

// Cell counts (from the table's sizes and the family settings), transparent flags, effect
// counters, blink state (saved text "  :  ") and the file-type lamps' idle animation.
void ResetKELDARSkinDisplayState(const MultimediaSkinStructure& skin = MultimediaSkin(),
                                 const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
