// Hit test, slider arithmetic, resizable frame layout and state images on the own
// catalogue's table, without any window.
#include <gtest/gtest.h>

#include <memory>

#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/SkinHitTest.h"
#include "skin/SkinImageChoice.h"
#include "skin/SkinMaskSliders.h"
#include "skin/SkinResizableFrame.h"
#include "skin/SkinSliders.h"

namespace {

class OwnTable : public ::testing::Test {
 protected:
  void SetUp() override {
    skin = std::make_unique<MultimediaSkinStructure>();
    BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own, *skin, lists);
    ReadKELDARSkinDefinition(BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own), *skin);
  }
  StringIdentStructure& C(KELDARSkinControls_IDs id) { return (*skin)[id]; }
  KELDARSkinControls_IDs DeckHit(int x, int y) {
    return SkinHitTest(lists.DeckForm_Controls, DeckForm_MainImage, x, y, *skin);
  }
  std::unique_ptr<MultimediaSkinStructure> skin;
  TSkinControlsLists lists;
};

TEST_F(OwnTable, HitTestFindsButtonsAndLetsTitleBarsAndFramesFallThrough) {
  EXPECT_EQ(DeckHit(57, 108), DeckForm_BackwardButton);  // left/top inclusive
  EXPECT_EQ(DeckHit(86, 127), DeckForm_BackwardButton);
  EXPECT_EQ(DeckHit(87, 108), DeckForm_MainImage);       // right edge exclusive (57 + 30)
  EXPECT_EQ(DeckHit(150, 7), DeckForm_MainImage);        // title bar: never a target, drags the deck
  EXPECT_EQ(DeckHit(290, 5), DeckForm_CloseWindowButton);
  // The volume knob is never a target: the press lands on its track.
  EXPECT_EQ(DeckHit(270, 22), DeckForm_VolumeImage);
  C(DeckForm_PlayButton).Control_Enabled = false;
  EXPECT_EQ(DeckHit(90, 110), DeckForm_MainImage);
  // Frame tiles of the playlist fall through to its background.
  EXPECT_EQ(SkinHitTest(lists.PlayListEditorForm_Controls, PlayListEditorForm_PLMainImage, 60, 5, *skin),
            PlayListEditorForm_PLMainImage);
}

TEST_F(OwnTable, OverlappingControlsGiveTheClickToTheHigherId) {
  C(DeckForm_StopButton).Control_Left = C(DeckForm_PlayButton).Control_Left + 10;
  C(DeckForm_StopButton).Control_Top = C(DeckForm_PlayButton).Control_Top;
  EXPECT_EQ(DeckHit(100, 110), DeckForm_StopButton);  // both contain the point
  EXPECT_EQ(DeckHit(90, 110), DeckForm_PlayButton);   // only play does
}

TEST_F(OwnTable, PanelButtonsAreHitOnlyOnTheirOwnPanel) {
  // Add files sits on panel 1 at (0,40) relative to it; the panel itself is at (0,-60).
  const KELDARSkinControls_IDs add = PlayListEditorForm_PLAddFilesButton;
  const TSkinControlRect r = SkinControlWindowRect(add, *skin);
  Form_ControlsList set = lists.PlayListEditorForm_Controls;
  EXPECT_EQ(SkinHitTest(set, PlayListEditorForm_PLPanel1, r.Left + 1, r.Top + 1, *skin), add);
  // All panels place their buttons alike: on panel 2 its own bottom button answers.
  EXPECT_EQ(SkinHitTest(set, PlayListEditorForm_PLPanel2, r.Left + 1, r.Top + 1, *skin),
            PlayListEditorForm_PLRemSelectedFilesButton);
  // On the window itself no panel button is ever hit.
  EXPECT_EQ(SkinHitTest(set, PlayListEditorForm_PLMainImage, r.Left + 1, r.Top + 1, *skin),
            PlayListEditorForm_PLMainImage);
}

TEST_F(OwnTable, MaskSlidersAreHitThroughTheirMask) {
  const TSkinControlRect r = SkinControlWindowRect(DeckForm_VolumeImage, *skin);
  int probed = 0;
  const TSkinMaskProbe grey = [&](KELDARSkinControls_IDs id, int, int) {
    ++probed;
    return id != DeckForm_VolumeImage;
  };
  EXPECT_EQ(SkinHitTest(lists.DeckForm_Controls, DeckForm_MainImage, r.Left + 2, r.Top + 30, *skin, true, grey),
            DeckForm_MainImage);
  EXPECT_GT(probed, 0);
  EXPECT_EQ(SkinHitTest(lists.DeckForm_Controls, DeckForm_MainImage, r.Left + 2, r.Top + 30, *skin, false, grey),
            DeckForm_VolumeImage);
}

TEST_F(OwnTable, SliderValueSnapsToTheEndsWithinTwoPixels) {
  // Balance: horizontal, 60 wide at x 238.
  StringIdentStructure& balance = C(DeckForm_BalanceImage);
  const auto valueAt = [&](int x) {
    balance.Control_NEWX = x;
    return SkinSliderValueFromPoint(DeckForm_BalanceImage, *skin);
  };
  EXPECT_EQ(valueAt(238), 0);
  EXPECT_EQ(valueAt(239), 0);
  EXPECT_EQ(valueAt(240), 3);  // round(100 * 2 / 60)
  EXPECT_EQ(valueAt(268), 50);
  EXPECT_EQ(valueAt(296), 97);
  EXPECT_EQ(valueAt(297), 100);
  EXPECT_EQ(valueAt(400), 100);
  EXPECT_EQ(valueAt(0), 0);
}

TEST_F(OwnTable, VerticalTrackHasOneHundredAtTheTop) {
  // Volume: vertical, 60 high at window y 20.
  StringIdentStructure& volume = C(DeckForm_VolumeImage);
  ASSERT_TRUE(volume.Control_Direction);
  ASSERT_EQ(SkinControlWindowRect(DeckForm_VolumeImage, *skin).Top, 20);
  ASSERT_EQ(volume.Control_Height, 60);
  volume.Control_NEWY = 50;
  EXPECT_EQ(SkinSliderValueFromPoint(DeckForm_VolumeImage, *skin), 50);
  volume.Control_NEWY = 21;
  EXPECT_EQ(SkinSliderValueFromPoint(DeckForm_VolumeImage, *skin), 100);
  volume.Control_NEWY = 79;
  EXPECT_EQ(SkinSliderValueFromPoint(DeckForm_VolumeImage, *skin), 0);
  volume.Control_NEWY = 35;  // 100 - round(25) with halves to even
  EXPECT_EQ(SkinSliderValueFromPoint(DeckForm_VolumeImage, *skin), 75);
}

TEST_F(OwnTable, FrameIndexFollowsTheKnobOverTwentyFrames) {
  ASSERT_EQ(C(DeckForm_BalanceImage).Control_NumberOfImages, 20);
  SetSkinSliderValue(DeckForm_BalanceImage, 100, *skin);
  EXPECT_EQ(SkinSliderFrameIndex(DeckForm_BalanceImage, *skin), 19);
  SetSkinSliderValue(DeckForm_BalanceImage, 0, *skin);
  EXPECT_EQ(SkinSliderFrameIndex(DeckForm_BalanceImage, *skin), 0);
  SetSkinSliderValue(DeckForm_BalanceImage, 50, *skin);
  EXPECT_EQ(SkinSliderFrameIndex(DeckForm_BalanceImage, *skin), 10);  // round(9.5) to even
  // Vertical tracks count frames from the bottom.
  SetSkinSliderValue(DeckForm_VolumeImage, 100, *skin);
  EXPECT_EQ(SkinSliderFrameIndex(DeckForm_VolumeImage, *skin), 19);
  SetSkinSliderValue(DeckForm_VolumeImage, 0, *skin);
  EXPECT_EQ(SkinSliderFrameIndex(DeckForm_VolumeImage, *skin), 0);
}

TEST_F(OwnTable, KnobIsCentredOnTheValueAndKeptInsideTheTrack) {
  SetSkinSliderValue(DeckForm_BalanceImage, 50, *skin);  // knob 5 x 11 on a 60 x 11 track at 238,82
  TSkinControlRect k = SkinSliderKnobRect(DeckForm_BalanceImage, *skin);
  EXPECT_EQ(k.Left, 268 - 2);
  EXPECT_EQ(k.Top, 82);
  EXPECT_EQ(k.Width, 5);
  SetSkinSliderValue(DeckForm_BalanceImage, 100, *skin);
  EXPECT_EQ(SkinSliderKnobRect(DeckForm_BalanceImage, *skin).Left, 238 + 60 - 5);
  SetSkinSliderValue(DeckForm_VolumeImage, 100, *skin);
  k = SkinSliderKnobRect(DeckForm_VolumeImage, *skin);
  EXPECT_EQ(k.Top, 20);
  EXPECT_EQ(k.Left, 266);
}

TEST_F(OwnTable, ReadoutsOfTrackOwnedHere) {
  SetSkinSliderValue(DeckForm_PosBarImage, 42, *skin);
  EXPECT_EQ(SkinSliderReadout(DeckForm_PosBarImage, *skin), "42%");
  SetSkinSliderValue(PlayListEditorForm_PLScrollImage, 7, *skin);
  EXPECT_EQ(SkinSliderReadout(PlayListEditorForm_PLScrollImage, *skin), "PL File: 7%");
  SetSkinSliderValue(CDDatabaseForm_DBScrollImage, 100, *skin);
  EXPECT_EQ(SkinSliderReadout(CDDatabaseForm_DBScrollImage, *skin), "DB File: 100%");
  EXPECT_EQ(SkinSliderReadout(FullScreenForm_FSPosBarImage, *skin), "");
  SetSkinSliderReadoutProvider(DeckForm_VolumeImage, [](std::int32_t v) { return "Volume: " + std::to_string(v) + "%"; });
  SetSkinSliderValue(DeckForm_VolumeImage, 30, *skin);
  EXPECT_EQ(SkinSliderReadout(DeckForm_VolumeImage, *skin), "Volume: 30%");
  SetSkinSliderReadoutProvider(DeckForm_VolumeImage, {});
}

TEST_F(OwnTable, PlaylistFrameAt325By156) {
  const TSkinResizableFramePlan plan =
      PlanKELDARSkinResizableFrame(PlayListEditorForm_PLMainImage, 325, 156, *skin);
  EXPECT_EQ(plan.TitleFillersBefore, 3);
  EXPECT_EQ(plan.TitleFillersAfter, 5);
  EXPECT_EQ(plan.LeftTiles, 4);
  EXPECT_EQ(plan.RightTiles, 4);
  EXPECT_EQ(plan.BottomFillers, 2);
  // TL, 3 + 5 fillers, TM, TR, 4 + 4 side tiles, BL, 2 fillers, BR.
  EXPECT_EQ(plan.Blits.size(), 1u + 8u + 1u + 1u + 8u + 1u + 2u + 1u);
  // The caption sits after the three fillers; the right part ends at the window's edge.
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, *skin);
  bool captionFound = false, rightFound = false;
  for (const TSkinSpriteBlit& b : plan.Blits) {
    if (b.Source.X == l.TitleMainX && b.Source.Y == l.RowA) {
      captionFound = true;
      EXPECT_EQ(b.Target.X, 25 + 3 * 25);
    }
    if (b.Source.X == l.TitleRightX && b.Source.Y == l.RowA) {
      rightFound = true;
      EXPECT_EQ(b.Target.X, 300);
    }
  }
  EXPECT_TRUE(captionFound);
  EXPECT_TRUE(rightFound);
}

TEST_F(OwnTable, ActiveTitleUsesRowBAndStoredPositionsMoveTheChildren) {
  C(PlayListEditorForm_PLTitleBarMainImage).Control_NEWMouseState = meMouseClicked;
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, *skin);
  const TSkinResizableFramePlan plan = PlanKELDARSkinResizableFrame(PlayListEditorForm_PLMainImage, 300, 130, *skin);
  EXPECT_EQ(plan.Blits.front().Source.Y, l.RowB);

  StoreKELDARSkinResizableFramePositions(PlayListEditorForm_PLMainImage, 425, 208, *skin);
  EXPECT_EQ(C(PlayListEditorForm_PLTitleBarRightImage).Control_Left, 400);
  EXPECT_EQ(C(PlayListEditorForm_PLBottomLeftImage).Control_Top, 176);
  EXPECT_EQ(C(PlayListEditorForm_PLBottomRightImage).Control_Left, 300);
  EXPECT_EQ(C(PlayListEditorForm_PLBottomRightImage).Control_Top, 176);
  EXPECT_EQ(C(PlayListEditorForm_PLScrollImage).Control_Height, 26 * 6);
  // The close button is parented to the right title part and follows it.
  EXPECT_EQ(SkinControlWindowRect(PlayListEditorForm_PLCloseWindowButton, *skin).Left, 400 + 14);
  // List down sits on the bottom-right part.
  EXPECT_EQ(SkinControlWindowRect(PlayListEditorForm_PLListScrollDownButton, *skin).Top, 176 + 4);
}

TEST_F(OwnTable, TooSmallWindowsDrawNoNegativeCounts) {
  const TSkinResizableFramePlan plan = PlanKELDARSkinResizableFrame(PlayListEditorForm_PLMainImage, 10, 10, *skin);
  EXPECT_EQ(plan.LeftTiles, 0);
  EXPECT_EQ(plan.BottomFillers, 0);
  EXPECT_EQ(plan.TitleFillersBefore, 0);
}

TEST_F(OwnTable, MaskSlidersFindTheirValueInTheGreyLevels) {
  // A window-sized mask: the volume track's column grows brighter from bottom to top.
  QImage mask(300, 130, QImage::Format_RGB32);
  mask.fill(QColor(255, 0, 255));
  const TSkinControlRect r = SkinControlWindowRect(DeckForm_VolumeImage, *skin);
  for (int y = 0; y < r.Height; ++y) {
    const int g = 255 * (r.Height - 1 - y) / (r.Height - 1);
    for (int x = r.Left; x < r.Left + r.Width; ++x) mask.setPixel(x, r.Top + y, qRgb(g, g, g));
  }
  EXPECT_EQ(KELDARSkinMaskGreyLevel(mask, r.Left, r.Top), 255);
  EXPECT_EQ(KELDARSkinMaskGreyLevel(mask, 0, 0), -1);  // magenta is not grey

  SetMaskSliderValue(DeckForm_VolumeImage, 100, mask, *skin);
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_NEWY, r.Top);
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_CurrentValue, 100);
  SetMaskSliderValue(DeckForm_VolumeImage, 0, mask, *skin);
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_NEWY, r.Top + r.Height - 1);  // the black row
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_CurrentValue, 0);
  EXPECT_EQ(MaskSliderValueFromPoint(DeckForm_VolumeImage, mask, *skin), 0);
  // 50 %: the brightest grey not above level round(127.5) + 1 = 129; ties go to the later pixel.
  SetMaskSliderValue(DeckForm_VolumeImage, 50, mask, *skin);
  const int g = KELDARSkinMaskGreyLevel(mask, C(DeckForm_VolumeImage).Control_NEWX, C(DeckForm_VolumeImage).Control_NEWY);
  EXPECT_LE(g, 129);
  EXPECT_GT(g, 120);
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_NEWX, r.Left + r.Width - 1);
  EXPECT_EQ(MaskSliderValueFromPoint(DeckForm_VolumeImage, mask, *skin), SkinRoundHalfEven(100.0 * g / 255.0) + 1);
  // A skin rectangle far larger than the mask (and starting left of it) finds the same pixels.
  C(DeckForm_VolumeImage).Control_Left -= 1000;
  C(DeckForm_VolumeImage).Control_Width = KELDARSkinDefinitionMaxMagnitude;
  C(DeckForm_VolumeImage).Control_Height = KELDARSkinDefinitionMaxMagnitude;
  SetMaskSliderValue(DeckForm_VolumeImage, 100, mask, *skin);
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_NEWY, r.Top);
  EXPECT_EQ(C(DeckForm_VolumeImage).Control_CurrentValue, 100);
}

TEST(SkinImageChoice, StateTablePerKind) {
  StringIdentStructure c;
  c.Control_Type = KELDARSkinButtonControl;
  c.Control_NEWMouseState = meMouseDown;
  EXPECT_EQ(SkinControlImage(c), bpActiveBitmap);
  c.Control_NEWMouseState = meMouseUp;
  EXPECT_EQ(SkinControlImage(c), bpNOTActiveBitmap);
  c.Control_NEWMouseState = meMouseClicked;
  EXPECT_EQ(SkinControlImage(c), bpActiveBitmap);

  c.Control_Type = KELDARSkinButtonToggleControl;
  c.Control_CLICKEDMouseState = meMouseNOTClicked;
  c.Control_NEWMouseState = meMouseDown;
  EXPECT_EQ(SkinControlImage(c), bpPressed1Bitmap);
  c.Control_CLICKEDMouseState = meMouseClicked;
  EXPECT_EQ(SkinControlImage(c), bpPressed2Bitmap);
  c.Control_NEWMouseState = meMouseUp;
  EXPECT_EQ(SkinControlImage(c), bpActiveBitmap);
  c.Control_CLICKEDMouseState = meMouseNOTClicked;
  EXPECT_EQ(SkinControlImage(c), bpNOTActiveBitmap);
  c.Control_CLICKEDMouseState = meMouseClicked;
  c.Control_NEWMouseState = meMouseNOTClicked;  // forced unlit
  EXPECT_EQ(SkinControlImage(c), bpNOTActiveBitmap);

  c.Control_Type = KELDARSkinDigitalDisplayGlyphControl;
  c.Control_NEWMouseState = meMouseDown;
  EXPECT_EQ(SkinControlImage(c), bpNOTActiveBitmap);
  c.Control_NEWMouseState = meMouseClicked;
  EXPECT_EQ(SkinControlImage(c), bpActiveBitmap);

  c.Control_Type = KELDARSkinDigitalDisplayEffects;
  const SkinControlMouseEvents states[] = {meMouseDown, meMouseUp, meMouseNOTClicked, meMouseClicked};
  const BitmapPurposeStates images[] = {bpPressed1Bitmap, bpPressed2Bitmap, bpNOTActiveBitmap, bpActiveBitmap};
  for (int i = 0; i < 4; ++i) {
    c.Control_NEWMouseState = states[i];
    EXPECT_EQ(SkinControlImage(c), images[i]);
  }
}

}  // namespace
