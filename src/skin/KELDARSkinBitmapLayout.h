// The 28 standard skin bitmaps and where their pieces lie. The layout follows from the
// control table alone, so the built-in skin generator, the loader's checks and the skinned
// windows agree on every sprite position. No Qt here: plain pixel arithmetic.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include "skin/MultimediaSkinStructure.h"

enum class TKELDARSkinBitmap : std::uint8_t {
  DeckNotActive,
  DeckPressed1,
  DeckPressed2,
  DeckActive,
  DeckVolumeBar,
  DeckBalanceBar,
  DeckPitchBar,
  DeckPositionBar,
  DeckVolumeBarMask,
  DeckPitchBarMask,
  DeckPositionBarMask,
  DeckPlayerState,
  DeckFontSmall,
  DeckNumbers,
  EqualizerNotActive,
  EqualizerPressed1,
  EqualizerPressed2,
  EqualizerActive,
  EqualizerBandBar,
  EqualizerVolLevelVisuals,
  EqualizerFFTVisuals,
  PlaylistListBoxImage,
  PlaylistBackground,
  VisualsScreenBackground,
  DBBackground,
  FullScreenNotActive,
  FullScreenActive,
  FullScreenPositionBar,
};
inline constexpr int KELDARSkinBitmapCount = 28;

// File name in a skin folder, e.g. "Deck_BackgroundImageNOTActive.bmp".
const char* KELDARSkinBitmapFileName(TKELDARSkinBitmap bitmap);
// Built-in resource name: file name without extension, upper case.
std::string KELDARSkinResourceName(const std::string& fileName);
// The three value masks have no built-in copy.
bool IsKELDARSkinMaskBitmap(TKELDARSkinBitmap bitmap);
// Cells the small font sheet is wide and high (its glyph rows are at most this wide).
inline constexpr std::int32_t KELDARSkinSmallFontColumns = 34;
inline constexpr std::int32_t KELDARSkinSmallFontRows = 5;
inline constexpr std::int32_t KELDARSkinNumbersGlyphs = 16;
// The small font glyph of a character: true with its cell column and row, false when the
// character has none (codes 0..31 use the blank cell at 0,0).
bool KELDARSkinSmallFontCell(unsigned char c, std::int32_t& column, std::int32_t& row);

struct TSkinPixelPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
};
struct TSkinPixelSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool operator==(const TSkinPixelSize&) const = default;
};

// Slider strips: frames of the track's size, then the pressed knob, then the normal knob,
// every piece one pixel after the previous one: stacked for horizontal tracks, side by side
// for vertical ones.
TSkinPixelPoint SliderStripFramePosition(KELDARSkinControls_IDs track, std::int32_t frame,
                                         const MultimediaSkinStructure& skin);
// knob 0 = pressed image, 1 = normal image.
TSkinPixelPoint SliderStripKnobPosition(KELDARSkinControls_IDs track, std::int32_t knob,
                                        const MultimediaSkinStructure& skin);
TSkinPixelSize SliderStripSize(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin);

// Sprite sheet of a resizable window (playlist, visuals, library), named by its
// background control.
struct TResizableSheetLayout {
  std::int32_t RowA = 0, RowB = 0, RowC = 0, RowD = 0, RowE = 0, RowF = 0, RowG = 0, RowH = 0;
  // x of the title parts in rows A and B
  std::int32_t TitleLeftX = 0, TitleMainX = 0, TitleHorizontalX = 0, TitleRightX = 0;
  // x of the window buttons (close, main menu, list up, list down) in rows A and B
  std::array<std::int32_t, 4> WindowButtonX{};
  std::int32_t WindowButtonCount = 0;
  std::int32_t VerticalLeftX = 0, VerticalRightX = 0, ScrollKnobX = 0;
  bool HasScrollKnob = false;
  std::int32_t BottomLeftX = 0, BottomExtraX = 0, BottomRightX = 0;
  // rows E (menu buttons) and F..H (panel buttons): x of the normal image of pair k
  std::array<std::int32_t, 5> MenuX{};
  std::array<std::array<std::int32_t, 5>, 3> PanelX{};
  bool HasMenus = false, HasPanels = false;
  TSkinPixelSize Size;
};
TResizableSheetLayout ResizableSheetLayout(KELDARSkinControls_IDs background, const MultimediaSkinStructure& skin);
// The playlist panel buttons of one row (0 = top, F; 1 = middle, G; 2 = bottom, H), panel 1..5.
KELDARSkinControls_IDs PlaylistPanelButton(std::int32_t row, std::int32_t panel);

// Equalizer spectrum bitmap: the 10-band frames side by side from x 0, the preamp line
// below them, and two colour columns at x = W-5 and W-3 as high as the effects canvas.
TSkinPixelSize FFTVisualsSize(const MultimediaSkinStructure& skin);

// The size every standard bitmap must have for the table (the listbox picture has no fixed
// size: its default is given).
TSkinPixelSize ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap bitmap, const MultimediaSkinStructure& skin);
