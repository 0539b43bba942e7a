// Identifiers, kinds and the fixed sets.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinControls_IDs.h"
#include "skin/StringIdentStructure.h"

TEST(KELDARSkinControlsIds, OrdinalsAtRangeStartsAndOneByteStorage) {
  static_assert(sizeof(KELDARSkinControls_IDs) == 1);
  static_assert(sizeof(KELDARSkinControlTypes) == 1);
  static_assert(sizeof(SkinControlMouseEvents) == 1 && sizeof(BitmapPurposeStates) == 1);
  EXPECT_EQ(ZorvaneAudioPlayerControls_START, 0);
  EXPECT_EQ(DeckForm_MainImage, 1);
  EXPECT_EQ(DeckForm_VolumeImage, 29);
  EXPECT_EQ(DeckForm_FontSmall, 45);
  EXPECT_EQ(EqualizerForm_EQMainImage, 46);
  EXPECT_EQ(EqualizerForm_EQFFT128VisualEffects, 86);
  EXPECT_EQ(PlayListEditorForm_PLMainImage, 87);
  EXPECT_EQ(PlayListEditorForm_PLPanel1, 108);
  EXPECT_EQ(PlayListEditorForm_PLTextWindow2, 129);
  EXPECT_EQ(VisualsScreenForm_VisExMainImage, 130);
  EXPECT_EQ(CDDatabaseForm_DBMainImage, 143);
  EXPECT_EQ(CDDatabaseForm_DBTextWindow, 162);
  EXPECT_EQ(FullScreenForm_FSMainImage, 163);
  EXPECT_EQ(FullScreenForm_FSPosBarImage, 171);
  EXPECT_EQ(Form_NullControl, 172);
  EXPECT_EQ(ZorvaneAudioPlayerControls_END, 173);
  EXPECT_EQ(KELDARSkinEmptyControl, 19);
  EXPECT_EQ(KELDARSkinResizableFormButtonOfControl, 17);
  EXPECT_EQ(meMouseDblClick, 4);
  EXPECT_EQ(bpActiveBitmap, 3);
}

TEST(KELDARSkinControlsIds, BandKnobsAndTracksAlternate) {
  for (int k = 1; k <= 10; ++k) {
    const std::string band = "EqualizerForm_EQBand" + std::to_string(k);
    EXPECT_EQ(FindKELDARSkinControlByIdentString(band + "Button"), static_cast<KELDARSkinControls_IDs>(57 + 2 * k));
    EXPECT_EQ(FindKELDARSkinControlByIdentString(band + "Image"), static_cast<KELDARSkinControls_IDs>(58 + 2 * k));
  }
}

TEST(KELDARSkinControlsIds, IdentStringsAreUniqueAndFoundExactly) {
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < KELDARSkinControlsCount; ++i) {
    const auto text = KELDARSkinControlIdentStrings[i];
    EXPECT_TRUE(seen.insert(text).second) << text;
    EXPECT_EQ(FindKELDARSkinControlByIdentString(text), static_cast<KELDARSkinControls_IDs>(i));
  }
  // Keys are compared exactly as written.
  EXPECT_FALSE(FindKELDARSkinControlByIdentString("deckform_volumebutton").has_value());
  EXPECT_FALSE(FindKELDARSkinControlByIdentString("DeckForm_VolumeButton ").has_value());
  EXPECT_EQ(KELDARSkinControlIdentString(DeckForm_SongCurrectPlayingTimeWindow), "DeckForm_SongCurrectPlayingTimeWindow");
}

TEST(KELDARSkinControlsIds, OrdinalRange) {
  EXPECT_TRUE(IsKELDARSkinControlOrdinal(0));
  EXPECT_TRUE(IsKELDARSkinControlOrdinal(173));
  EXPECT_FALSE(IsKELDARSkinControlOrdinal(174));
  EXPECT_FALSE(IsKELDARSkinControlOrdinal(-1));
  EXPECT_FALSE(IsKELDARSkinControlOrdinal(256));
}

TEST(KELDARSkinFixedSets, NeverHitKindsAreExactlyTheFrameAndHelperKinds) {
  const std::set<int> expected = {2, 3, 8, 15, 16, 18, 19};
  for (int kind = 0; kind < KELDARSkinControlTypesCount; ++kind)
    EXPECT_EQ(IsNeverHitTargetKind(static_cast<KELDARSkinControlTypes>(kind)), expected.count(kind) == 1) << kind;
}

TEST(KELDARSkinFixedSets, MaskSliders) {
  EXPECT_EQ(MaskSliderControls().count(), 3u);
  EXPECT_TRUE(IsMaskSlider(DeckForm_VolumeImage));
  EXPECT_TRUE(IsMaskSlider(DeckForm_PitchImage));
  EXPECT_TRUE(IsMaskSlider(DeckForm_PosBarImage));
  EXPECT_FALSE(IsMaskSlider(DeckForm_BalanceImage));
  EXPECT_FALSE(IsMaskSlider(DeckForm_VolumeButton));
}

TEST(KELDARSkinFixedSets, PanelsHoldThreeConsecutiveButtonsEach) {
  Form_ControlsList all;
  for (int k = 0; k < 5; ++k) {
    const Form_ControlsList panel = FixedPanelButtons(k);
    EXPECT_EQ(panel.count(), 3u);
    for (int r = 0; r < 3; ++r) EXPECT_TRUE(panel.test(static_cast<std::size_t>(113 + 3 * k + r)));
    EXPECT_TRUE((all & panel).none());
    all |= panel;
  }
  EXPECT_TRUE(FixedPanelButtons(-1).none());
  EXPECT_TRUE(FixedPanelButtons(5).none());
  EXPECT_EQ(Form_ControlsList().size(), 176u);
}
