// Setting and reading single controls.
#include <gtest/gtest.h>

#include "SkinTestTables.h"
#include "skin/KELDARSkinControlAccessors.h"

TEST(KELDARSkinAccessors, ToggleStateReadsOnlyClickedAsOn) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  SetSkinToggleState(DeckForm_ShuffleButton, true, *t.Skin);
  EXPECT_EQ(t[DeckForm_ShuffleButton].Control_CLICKEDMouseState, meMouseClicked);
  EXPECT_TRUE(GetSkinToggleState(DeckForm_ShuffleButton, *t.Skin));
  SetSkinToggleState(DeckForm_ShuffleButton, false, *t.Skin);
  EXPECT_EQ(t[DeckForm_ShuffleButton].Control_CLICKEDMouseState, meMouseNOTClicked);
  for (auto other : {meMouseDown, meMouseUp, meMouseNOTClicked, meMouseDblClick}) {
    t[DeckForm_ShuffleButton].Control_CLICKEDMouseState = other;
    EXPECT_FALSE(GetSkinToggleState(DeckForm_ShuffleButton, *t.Skin)) << int(other);
  }
}

TEST(KELDARSkinAccessors, MouseUpFlipsTheClickedStateOfEveryKind) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  for (int id = 0; id < 174; ++id) {
    const auto control = static_cast<KELDARSkinControls_IDs>(id);
    t[id].Control_CLICKEDMouseState = meMouseNOTClicked;
    SetSkinControlMouseState(control, meMouseUp, *t.Skin);
    EXPECT_EQ(t[id].Control_NEWMouseState, meMouseUp);
    EXPECT_EQ(t[id].Control_CLICKEDMouseState, meMouseClicked) << id;
    SetSkinControlMouseState(control, meMouseUp, *t.Skin);
    EXPECT_EQ(t[id].Control_CLICKEDMouseState, meMouseNOTClicked) << id;
  }
  // Anything but "not clicked" becomes "not clicked"; other states leave the toggle alone.
  t[DeckForm_RepeatButton].Control_CLICKEDMouseState = meMouseDown;
  SetSkinControlMouseState(DeckForm_RepeatButton, meMouseUp, *t.Skin);
  EXPECT_EQ(t[DeckForm_RepeatButton].Control_CLICKEDMouseState, meMouseNOTClicked);
  SetSkinControlMouseState(DeckForm_RepeatButton, meMouseDown, *t.Skin);
  EXPECT_EQ(t[DeckForm_RepeatButton].Control_NEWMouseState, meMouseDown);
  EXPECT_EQ(t[DeckForm_RepeatButton].Control_CLICKEDMouseState, meMouseNOTClicked);
}

TEST(KELDARSkinAccessors, MousePositionIgnoredForDisabledControls) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  StoreSkinControlMousePosition(DeckForm_PlayButton, 70, 115, *t.Skin);
  EXPECT_EQ(t[DeckForm_PlayButton].Control_NEWX, 70);
  EXPECT_EQ(t[DeckForm_PlayButton].Control_NEWY, 115);
  ASSERT_FALSE(t[DeckForm_GraphicsEffectsCanvas].Control_Enabled);
  StoreSkinControlMousePosition(DeckForm_GraphicsEffectsCanvas, 70, 40, *t.Skin);
  EXPECT_EQ(t[DeckForm_GraphicsEffectsCanvas].Control_NEWX, 0);
  EXPECT_EQ(t[DeckForm_GraphicsEffectsCanvas].Control_NEWY, 0);
}

TEST(KELDARSkinAccessors, SliderValueClampsAndMovesTheKnob) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  // Vertical volume track 11 x 60 at 266,20: value 100 at the top.
  SetSkinSliderValue(DeckForm_VolumeImage, 100, *t.Skin);
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_NEWY, 20);
  SetSkinSliderValue(DeckForm_VolumeImage, 50, *t.Skin);
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_NEWY, 50);
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage, *t.Skin), 50);
  SetSkinSliderValue(DeckForm_VolumeImage, 250, *t.Skin);
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage, *t.Skin), 100);
  SetSkinSliderValue(DeckForm_VolumeImage, -7, *t.Skin);
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage, *t.Skin), 0);
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_NEWY, 80);
  // Horizontal: the full-screen track is at 1,1 relative to its bar, 482 wide; halves round to even.
  SetSkinSliderValue(FullScreenForm_FSPosBarImage, 25, *t.Skin);
  EXPECT_EQ(t[FullScreenForm_FSPosBarImage].Control_NEWX, 122);  // 1 + 120.5
  SetSkinSliderValue(FullScreenForm_FSPosBarImage, 75, *t.Skin);
  EXPECT_EQ(t[FullScreenForm_FSPosBarImage].Control_NEWX, 362);  // 1 + 361.5
  // Only tracks store the value.
  SetSkinSliderValue(DeckForm_VolumeButton, 40, *t.Skin);
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeButton, *t.Skin), 0);
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, 77, *t.Skin);
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas, *t.Skin), 77);
}

TEST(KELDARSkinAccessors, PositionIsParentPlusOwnOneLevelOnly) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  t[PlayListEditorForm_PLBottomLeftImage].Control_Left = 10;
  t[PlayListEditorForm_PLBottomLeftImage].Control_Top = 200;
  const auto menu = SkinControlWindowRect(PlayListEditorForm_PLMenu2Buttons, *t.Skin);
  EXPECT_EQ(menu.Left, 10 + t[PlayListEditorForm_PLMenu2Buttons].Control_Left);
  EXPECT_EQ(menu.Top, 200 + t[PlayListEditorForm_PLMenu2Buttons].Control_Top);
  // A panel button is relative to its panel only, not to the panel's menu button.
  const auto button = SkinControlWindowRect(PlayListEditorForm_PLAddFilesButton, *t.Skin);
  EXPECT_EQ(button.Top, t[PlayListEditorForm_PLPanel1].Control_Top + t[PlayListEditorForm_PLAddFilesButton].Control_Top);
}

TEST(KELDARSkinAccessors, TextsAliasesAndBindings) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  SetSkinControlText(DeckForm_KbpsTextWindow, "128", *t.Skin);
  SetSkinControlProcessedText(DeckForm_KbpsTextWindow, "128 ", *t.Skin);
  EXPECT_EQ(GetSkinControlText(DeckForm_KbpsTextWindow, *t.Skin), "128");
  EXPECT_EQ(GetSkinControlProcessedText(DeckForm_KbpsTextWindow, *t.Skin), "128 ");
  SetSkinControlStateAlias(DeckForm_StopButton, bpPressed2Bitmap, bpPressed1Bitmap, *t.Skin);
  EXPECT_EQ(GetSkinControlStateAlias(DeckForm_StopButton, bpPressed2Bitmap, *t.Skin), bpPressed1Bitmap);
  EXPECT_EQ(GetSkinControlStateAlias(DeckForm_StopButton, bpActiveBitmap, *t.Skin), bpActiveBitmap);
  // Out-of-range roles and identifiers are ignored, never written outside the table.
  SetSkinControlStateAlias(DeckForm_StopButton, static_cast<BitmapPurposeStates>(9), bpPressed1Bitmap, *t.Skin);
  EXPECT_EQ(GetSkinControlStateAlias(DeckForm_StopButton, static_cast<BitmapPurposeStates>(9), *t.Skin), 9);
  const auto bogus = static_cast<KELDARSkinControls_IDs>(200);
  SetSkinControlText(bogus, "x", *t.Skin);
  SetSkinSliderValue(bogus, 50, *t.Skin);
  SetSkinControlMouseState(bogus, meMouseUp, *t.Skin);
  EXPECT_EQ(GetSkinControlText(bogus, *t.Skin), "");
  EXPECT_FALSE(GetSkinToggleState(bogus, *t.Skin));
  ResetKELDARSkinStatesAliases(*t.Skin);
  EXPECT_EQ(t[DeckForm_StopButton].Control_BitmapsStatesAliases, IdentityControlStatesAliases);
}

TEST(KELDARSkinAccessors, RoundHalfEven) {
  EXPECT_EQ(SkinRoundHalfEven(0.5), 0);
  EXPECT_EQ(SkinRoundHalfEven(1.5), 2);
  EXPECT_EQ(SkinRoundHalfEven(2.5), 2);
  EXPECT_EQ(SkinRoundHalfEven(2.6), 3);
  EXPECT_EQ(SkinRoundHalfEven(-2.5), -2);
  EXPECT_EQ(SkinRoundHalfEven(-2.6), -3);
}
