// Rules the three built-in catalogues must obey, checked on the tables a build produces.
#include <gtest/gtest.h>

#include <vector>

#include "SkinTestTables.h"
#include "skin/KELDARSkinControlAccessors.h"

namespace {

constexpr TKELDARSkinFamily kFamilies[] = {TKELDARSkinFamily::Own, TKELDARSkinFamily::Winamp,
                                           TKELDARSkinFamily::Kjofol};

const char* Name(TKELDARSkinFamily f) {
  return f == TKELDARSkinFamily::Own ? "own" : f == TKELDARSkinFamily::Winamp ? "Winamp" : "K-Jofol";
}

std::vector<Form_ControlsList> WindowSets(const TSkinControlsLists& l) {
  return {l.DeckForm_Controls,       l.EqualizerForm_Controls, l.PlayListEditorForm_Controls,
          l.VisualsScreenForm_Controls, l.CDDatabaseForm_Controls, l.FullScreenForm_Controls, l.Global_Controls};
}

bool Overlap(const TSkinControlRect& a, const TSkinControlRect& b) {
  return a.Left < b.Left + b.Width && b.Left < a.Left + a.Width && a.Top < b.Top + b.Height && b.Top < a.Top + a.Height;
}

bool Inside(const TSkinControlRect& r, std::int32_t width, std::int32_t height) {
  return r.Left >= 0 && r.Top >= 0 && r.Left + r.Width <= width && r.Top + r.Height <= height;
}

// The frame of a resizable window closes exactly at width w and height h.
void ExpectFrameCloses(TBuiltSkin& t, int background, std::int32_t w, std::int32_t h) {
  const auto& tl = t[background + 1];
  const auto& tr = t[background + 2];
  const auto& th = t[background + 3];
  const auto& tm = t[background + 4];
  const auto& vl = t[background + 5];
  const auto& vr = t[background + 6];
  const auto& bl = t[background + 7];
  const auto& br = t[background + 8];
  const auto& bx = t[background + 9];
  EXPECT_EQ((w - tl.Control_Width - tm.Control_Width - tr.Control_Width) % th.Control_Width, 0) << w;
  EXPECT_EQ((w - bl.Control_Width - br.Control_Width) % bx.Control_Width, 0) << w;
  EXPECT_EQ((h - tl.Control_Height - bl.Control_Height) % vl.Control_Height, 0) << h;
  EXPECT_EQ((h - tr.Control_Height - br.Control_Height) % vr.Control_Height, 0) << h;
}

}  // namespace

TEST(KELDARSkinCatalogue, EveryControlJoinsExactlyOneSet) {
  for (auto family : kFamilies) {
    TBuiltSkin t(family);
    const auto sets = WindowSets(t.Lists);
    for (std::size_t id = 0; id < KELDARSkinControlsCount; ++id) {
      int memberships = 0;
      for (const auto& set : sets) memberships += set.test(id) ? 1 : 0;
      EXPECT_EQ(memberships, 1) << Name(family) << " id " << id;
    }
    for (const auto& set : sets) EXPECT_FALSE(set.test(174) || set.test(175));
    for (auto id : {0, 44, 45, 172, 173}) EXPECT_TRUE(t.Lists.Global_Controls.test(static_cast<std::size_t>(id)));
  }
}

TEST(KELDARSkinCatalogue, OwnWindowsHoldTheirIdentifierRanges) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  for (int id = 1; id <= 43; ++id) EXPECT_TRUE(t.Lists.DeckForm_Controls.test(id)) << id;
  for (int id = 46; id <= 86; ++id) EXPECT_TRUE(t.Lists.EqualizerForm_Controls.test(id)) << id;
  for (int id = 87; id <= 129; ++id) EXPECT_TRUE(t.Lists.PlayListEditorForm_Controls.test(id)) << id;
  for (int id = 130; id <= 142; ++id) EXPECT_TRUE(t.Lists.VisualsScreenForm_Controls.test(id)) << id;
  for (int id = 143; id <= 162; ++id) EXPECT_TRUE(t.Lists.CDDatabaseForm_Controls.test(id)) << id;
  for (int id = 163; id <= 171; ++id) EXPECT_TRUE(t.Lists.FullScreenForm_Controls.test(id)) << id;
  for (int k = 0; k < 5; ++k) EXPECT_EQ(t.Lists.PanelButtons[k], FixedPanelButtons(k));
}

TEST(KELDARSkinCatalogue, RowsAgreeAcrossFamiliesOnKindTileAndHint) {
  TBuiltSkin own(TKELDARSkinFamily::Own);
  for (auto family : {TKELDARSkinFamily::Winamp, TKELDARSkinFamily::Kjofol}) {
    TBuiltSkin other(family);
    for (int id = 0; id < 174; ++id) {
      EXPECT_EQ(other[id].Control_Type, own[id].Control_Type) << id;
      EXPECT_EQ(other[id].Control_Tile, own[id].Control_Tile) << id;
      EXPECT_EQ(other[id].Control_TextString, own[id].Control_TextString) << id;
      EXPECT_EQ(other[id].IdentString, KELDARSkinControlIdentStrings[id]);
      if (family == TKELDARSkinFamily::Winamp || id < 103 || id > 107) {
        EXPECT_EQ(other[id].Control_Child, own[id].Control_Child) << id;
      }
    }
  }
}

TEST(KELDARSkinCatalogue, HintQuirksAndInitialStates) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  EXPECT_EQ(t[EqualizerForm_EQSampleRateButton].Control_TextString, "Samplerate Control ");
  EXPECT_EQ(t[EqualizerForm_EQSampleRateImage].Control_TextString, "Samplerate Control");
  EXPECT_EQ(t[VisualsScreenForm_VisExTextWindow].Control_TextString, "Currect Visual");
  EXPECT_EQ(t[DeckForm_SongArtistWindow].Control_TextString, "Welcome to Zorvane Audio Player v3.0");
  EXPECT_EQ(t[PlayListEditorForm_PLSelectNoneFilesButton].Control_TextString, "Unselect All files");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t[165 + i].Control_TextString, t[6 + i].Control_TextString);
  EXPECT_EQ(t[DeckForm_PlayPauseStateImage].Control_NEWMouseState, meMouseClicked);
  EXPECT_EQ(t[DeckForm_PlayPauseStateImage].Control_Child, DeckForm_TransmissionImage);
  EXPECT_TRUE(GetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, *t.Skin));
  EXPECT_TRUE(GetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, *t.Skin));
  EXPECT_FALSE(GetSkinToggleState(DeckForm_RepeatButton, *t.Skin));
  for (int id = 0; id < 174; ++id) EXPECT_EQ(t[id].Control_CurrentValue, 0);
}

TEST(KELDARSkinCatalogue, SlidersPairKnobAndTrackInEveryFamily) {
  for (auto family : kFamilies) {
    TBuiltSkin t(family);
    int tracks = 0;
    for (int id = 1; id < 172; ++id) {
      if (t[id].Control_Type != KELDARSkinSliderControl) continue;
      ++tracks;
      const int knob = t[id].Control_Child;
      EXPECT_EQ(knob, id - 1) << id;
      EXPECT_EQ(t[knob].Control_Type, KELDARSkinSliderButtonControl);
      EXPECT_EQ(t[knob].Control_ParentControl, id);
      EXPECT_EQ(t[knob].Control_Child, knob);
      // The knob moves along the track and sits inside it across the axis.
      const auto& track = t[id];
      const auto& k = t[knob];
      if (track.Control_Direction)
        EXPECT_LE(k.Control_Left + k.Control_Width, track.Control_Width) << Name(family) << " " << id;
      else
        EXPECT_LE(k.Control_Top + k.Control_Height, track.Control_Height) << Name(family) << " " << id;
    }
    EXPECT_EQ(tracks, 20);  // 4 deck, 13 equalizer, 2 scroll tracks, the full-screen position
    EXPECT_EQ(t[PlayListEditorForm_PLScrollImage].Control_Tile, PlayListEditorForm_PLVerticalRightImage);
    EXPECT_EQ(t[CDDatabaseForm_DBScrollImage].Control_Tile, CDDatabaseForm_DBVerticalRightImage);
    // Vertical in every family: equalizer sliders and both scroll tracks.
    for (int id = 54; id <= 78; id += 2) EXPECT_TRUE(t[id].Control_Direction) << id;
    EXPECT_TRUE(t[PlayListEditorForm_PLScrollImage].Control_Direction);
    EXPECT_TRUE(t[CDDatabaseForm_DBScrollImage].Control_Direction);
    EXPECT_TRUE(t[PlayListEditorForm_PLScrollButton].Control_Direction);
    EXPECT_FALSE(t[CDDatabaseForm_DBScrollButton].Control_Direction);
    EXPECT_EQ(t[DeckForm_VolumeImage].Control_Direction, family == TKELDARSkinFamily::Own);
    EXPECT_EQ(t[EqualizerForm_EQLeftVolLevelCanvas].Control_Direction, family != TKELDARSkinFamily::Winamp);
  }
}

TEST(KELDARSkinCatalogue, MarkersBackgroundsAndNullControl) {
  for (auto family : kFamilies) {
    TBuiltSkin t(family);
    for (int id : {0, 172, 173}) {
      EXPECT_EQ(t[id].Control_ParentControl, Form_NullControl);
      EXPECT_EQ(t[id].Control_Child, Form_NullControl);
    }
    EXPECT_EQ(t[0].Control_Type, KELDARSkinMarkStartAndEndControl);
    EXPECT_EQ(t[172].Control_Type, KELDARSkinEmptyControl);
    for (int bg : {1, 46, 87, 130, 143, 163}) {
      EXPECT_EQ(t[bg].Control_ParentControl, bg);
      EXPECT_EQ(t[bg].Control_Left, 0);
      EXPECT_EQ(t[bg].Control_Top, 0);
    }
  }
}

TEST(KELDARSkinCatalogue, OwnEnablesEverythingButTheDeckEffectsCanvas) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  for (int id = 0; id < 174; ++id) EXPECT_EQ(t[id].Control_Enabled, id != DeckForm_GraphicsEffectsCanvas) << id;
}

TEST(KELDARSkinCatalogue, OwnFixedWindowsHaveNoOverlappingHitTargets) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  for (const auto& [background, set] : {std::pair{1, t.Lists.DeckForm_Controls}, std::pair{46, t.Lists.EqualizerForm_Controls},
                                        std::pair{163, t.Lists.FullScreenForm_Controls}}) {
    std::vector<int> targets;
    for (int id = background + 1; id < 172; ++id)
      if (set.test(id) && t[id].Control_Enabled && !IsNeverHitTargetKind(t[id].Control_Type)) targets.push_back(id);
    const auto& bg = t[background];
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const auto a = SkinControlWindowRect(static_cast<KELDARSkinControls_IDs>(targets[i]), *t.Skin);
      EXPECT_TRUE(Inside(a, bg.Control_Width, bg.Control_Height)) << targets[i];
      EXPECT_GT(a.Width, 0);
      for (std::size_t j = i + 1; j < targets.size(); ++j)
        EXPECT_FALSE(Overlap(a, SkinControlWindowRect(static_cast<KELDARSkinControls_IDs>(targets[j]), *t.Skin)))
            << targets[i] << " and " << targets[j];
    }
  }
}

TEST(KELDARSkinCatalogue, OwnTextDisplaysHoldTheirCells) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  const auto& font = t[DeckForm_FontSmall];
  const auto& numbers = t[DeckForm_NumbersFont];
  EXPECT_EQ(font.Control_NumberOfImages, 94);
  EXPECT_EQ(numbers.Control_NumberOfImages, 16);
  // Standard cell counts: kbps 3, kHz 5, status 7, the two time displays 6.
  EXPECT_EQ(t[DeckForm_KbpsTextWindow].Control_Width, 3 * font.Control_Width);
  EXPECT_EQ(t[DeckForm_KHzTextWindow].Control_Width, 5 * font.Control_Width);
  EXPECT_EQ(t[DeckForm_PlayerStatusWindow].Control_Width, 7 * font.Control_Width);
  EXPECT_EQ(t[DeckForm_SongCurrectPlayingTimeWindow].Control_Width, 6 * numbers.Control_Width);
  EXPECT_EQ(t[DeckForm_SongTotalTimeWindow].Control_Width, 6 * numbers.Control_Width);
  for (int id : {38, 39, 40, 41, 42}) EXPECT_EQ(t[id].Control_Height, font.Control_Height) << id;
  // The ten band bars fill the effects canvas side by side.
  const auto& canvas = t[EqualizerForm_EQGraphicsEffectsCanvas];
  const auto& bars = t[EqualizerForm_EQFFT10VisualEffects];
  EXPECT_EQ(10 * (bars.Control_Left + bars.Control_Width), canvas.Control_Width);
  for (int area = 82; area <= 86; ++area) {
    EXPECT_EQ(t[area].Control_ParentControl, EqualizerForm_EQGraphicsEffectsCanvas);
    EXPECT_TRUE(Inside({t[area].Control_Left, t[area].Control_Top, t[area].Control_Width, t[area].Control_Height},
                       canvas.Control_Width, canvas.Control_Height))
        << area;
  }
}

TEST(KELDARSkinCatalogue, ResizableFramesCloseAtEveryAllowedSize) {
  TBuiltSkin own(TKELDARSkinFamily::Own);
  for (int bg : {87, 130, 143}) {
    const auto& b = own[bg];
    EXPECT_EQ(b.Control_Width, 300);
    EXPECT_EQ(b.Control_Height, 130);
    // Resize steps: the bottom filler's width and the left side's height.
    for (int step = 0; step < 6; ++step)
      ExpectFrameCloses(own, bg, b.Control_Width + step * own[bg + 9].Control_Width,
                        b.Control_Height + step * own[bg + 5].Control_Height);
  }
  // A 325 x 156 playlist: 7 title fillers, 4 side tiles, 2 bottom fillers.
  EXPECT_EQ((325 - 25 - 100 - 25) / own[90].Control_Width, 7);
  EXPECT_EQ((156 - own[88].Control_Height - own[94].Control_Height) / own[92].Control_Height, 4);
  EXPECT_EQ((325 - own[94].Control_Width - own[95].Control_Width) / own[96].Control_Width, 2);

  TBuiltSkin winamp(TKELDARSkinFamily::Winamp);
  EXPECT_EQ(winamp[87].Control_Width, 275);
  EXPECT_EQ(winamp[87].Control_Height, 116);
  for (int step = 0; step < 4; ++step) ExpectFrameCloses(winamp, 87, 275 + 25 * step, 116 + 29 * step);
}

TEST(KELDARSkinCatalogue, FrameButtonsAndPanelsFitTheirTiles) {
  for (auto family : {TKELDARSkinFamily::Own, TKELDARSkinFamily::Winamp}) {
    TBuiltSkin t(family);
    for (int id : {97, 98, 101, 102, 103, 104, 105, 106, 107, 128, 129, 140, 141, 142, 153, 154, 157, 162}) {
      const auto& c = t[id];
      const auto& tile = t[c.Control_ParentControl];
      EXPECT_EQ(tile.Control_Type, KELDARSkinResizableBorderControl) << id;
      EXPECT_TRUE(Inside({c.Control_Left, c.Control_Top, c.Control_Width, c.Control_Height}, tile.Control_Width,
                         tile.Control_Height))
          << Name(family) << " " << id;
    }
    for (int k = 0; k < 5; ++k) {
      const auto& menu = t[103 + k];
      const auto& panel = t[108 + k];
      EXPECT_EQ(menu.Control_Child, 108 + k);
      EXPECT_EQ(panel.Control_ParentControl, 103 + k);
      // The panel opens right above its menu button.
      EXPECT_EQ(panel.Control_Top, -panel.Control_Height);
      std::int32_t covered = 0;
      for (int r = 0; r < 3; ++r) {
        const auto& b = t[113 + 3 * k + r];
        EXPECT_EQ(b.Control_ParentControl, 108 + k);
        EXPECT_EQ(b.Control_Width, menu.Control_Width);
        // The first button sits at the bottom of the panel, the third at its top.
        EXPECT_EQ(b.Control_Top, panel.Control_Height - (r + 1) * b.Control_Height);
        covered += b.Control_Height;
      }
      EXPECT_EQ(covered, panel.Control_Height);
    }
  }
}

TEST(KELDARSkinCatalogue, WinampSpectrumLivesOnTheDeckCanvas) {
  TBuiltSkin t(TKELDARSkinFamily::Winamp);
  const auto& canvas = t[DeckForm_GraphicsEffectsCanvas];
  EXPECT_TRUE(canvas.Control_Enabled);
  for (int area : {83, 85, 86}) {
    EXPECT_EQ(t[area].Control_ParentControl, DeckForm_GraphicsEffectsCanvas);
    EXPECT_TRUE(t.Lists.DeckForm_Controls.test(area));
    EXPECT_TRUE(Inside({t[area].Control_Left, t[area].Control_Top, t[area].Control_Width, t[area].Control_Height},
                       canvas.Control_Width, canvas.Control_Height));
  }
  EXPECT_EQ(t[EqualizerForm_EQDiagramPreAmpLine].Control_ParentControl, EqualizerForm_EQGraphicsEffectsCanvas);
  EXPECT_TRUE(t.Lists.EqualizerForm_Controls.test(EqualizerForm_EQDiagramPreAmpLine));
  // Ten bars of the 10-band area fit the canvas; bar frames are as tall as the canvas.
  EXPECT_LE(10 * t[85].Control_Width, canvas.Control_Width);
  EXPECT_EQ(t[85].Control_NumberOfImages, t[85].Control_Height);
  // Band tracks every 18 pixels, all the same size.
  for (int k = 2; k <= 10; ++k) {
    EXPECT_EQ(t[58 + 2 * k].Control_Left - t[56 + 2 * k].Control_Left, 18) << k;
    EXPECT_EQ(t[58 + 2 * k].Control_Width, t[58].Control_Width);
    EXPECT_EQ(t[58 + 2 * k].Control_Top, t[58].Control_Top);
  }
  for (int id : {12, 17, 18, 21, 25, 32, 33, 37, 40, 42, 48, 53, 56, 79, 80, 84, 98, 141, 154, 156, 161})
    EXPECT_FALSE(t[id].Control_Enabled) << id;
  // Everything not listed as disabled is shown.
  EXPECT_TRUE(t[DeckForm_VolumeImage].Control_Enabled);
  EXPECT_TRUE(t[EqualizerForm_EQBand10Image].Control_Enabled);
  // Fixed windows hold their controls.
  for (int id = 2; id <= 43; ++id) {
    if (!t[id].Control_Enabled || t[id].Control_Type == KELDARSkinSliderButtonControl) continue;
    EXPECT_TRUE(Inside(SkinControlWindowRect(static_cast<KELDARSkinControls_IDs>(id), *t.Skin), 275, 116)) << id;
  }
}

TEST(KELDARSkinCatalogue, KjofolMovesTheEqualizerOntoTheDeck) {
  TBuiltSkin t(TKELDARSkinFamily::Kjofol);
  for (int k = 1; k <= 10; ++k) {
    const int track = 58 + 2 * k;
    EXPECT_TRUE(t.Lists.DeckForm_Controls.test(track)) << k;
    EXPECT_FALSE(t.Lists.EqualizerForm_Controls.test(track)) << k;
    EXPECT_EQ(t[track].Control_ParentControl, DeckForm_MainImage);
  }
  EXPECT_TRUE(t.Lists.DeckForm_Controls.test(EqualizerForm_EQOnButton));
  EXPECT_TRUE(t.Lists.DeckForm_Controls.test(EqualizerForm_EQPreAmpImage));
  Form_ControlsList frame;
  for (int id = 46; id <= 49; ++id) frame.set(id);
  EXPECT_EQ(t.Lists.EqualizerForm_Controls, frame);
  for (int area : {83, 85, 86}) EXPECT_EQ(t[area].Control_ParentControl, DeckForm_GraphicsEffectsCanvas);
  for (int k = 0; k < 5; ++k) {
    EXPECT_TRUE(t.Lists.PanelButtons[k].none());
    EXPECT_EQ(t[103 + k].Control_Child, 103 + k);
  }
}

TEST(KELDARSkinCatalogue, KjofolStartsDisabledAndPlacesCommandControlsOnOrigins) {
  TBuiltSkin t(TKELDARSkinFamily::Kjofol);
  TBuiltSkin own(TKELDARSkinFamily::Own);
  for (int id = 1; id <= 86; ++id)
    EXPECT_EQ(t[id].Control_Enabled, id == 1 || id == 44 || id == 45) << id;
  for (int id = 87; id <= 129; ++id) EXPECT_EQ(t[id].Control_Enabled, id <= 96) << id;
  for (int id = 130; id <= 171; ++id) {
    EXPECT_EQ(t[id].Control_Enabled, own[id].Control_Enabled) << id;
    EXPECT_EQ(t[id].Control_ParentControl, own[id].Control_ParentControl) << id;
  }
  // Controls the skin's commands place get absolute coordinates: their parent sits at 0,0
  // and is not itself repositioned by the frame painter.
  const int placed[] = {3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 14, 16, 29, 33, 35, 36, 38, 39, 41, 42, 43,
                        50, 60, 62, 64, 66, 68, 70, 72, 74, 76, 78, 97, 101, 102, 113, 116, 118, 124, 125, 126,
                        128, 129};
  for (int id : placed) {
    const auto& parent = t[t[id].Control_ParentControl];
    EXPECT_EQ(parent.Control_Left, 0) << id;
    EXPECT_EQ(parent.Control_Top, 0) << id;
    EXPECT_NE(parent.Control_Type, KELDARSkinPanelControl) << id;
  }
}

TEST(KELDARSkinCatalogue, BuildReplacesSetsButKeepsActionsAndAliases) {
  TBuiltSkin t(TKELDARSkinFamily::Winamp);
  int clicks = 0;
  BindSkinControlClickProcedure(DeckForm_PlayButton, [&] { ++clicks; }, *t.Skin);
  SetSkinControlStateAlias(DeckForm_PlayButton, bpPressed1Bitmap, bpActiveBitmap, *t.Skin);
  SetSkinSliderValue(DeckForm_VolumeImage, 80, *t.Skin);
  t[DeckForm_MainImage].Control_Width = 1;
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own, *t.Skin, t.Lists);
  EXPECT_FALSE(t.Lists.DeckForm_Controls.test(EqualizerForm_EQFFT10VisualEffects));
  EXPECT_TRUE(t.Lists.EqualizerForm_Controls.test(EqualizerForm_EQFFT10VisualEffects));
  EXPECT_EQ(t[DeckForm_MainImage].Control_Width, 300);
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage, *t.Skin), 0);
  ASSERT_TRUE(t[DeckForm_PlayButton].Control_LeftClickProcedure);
  t[DeckForm_PlayButton].Control_LeftClickProcedure();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetSkinControlStateAlias(DeckForm_PlayButton, bpPressed1Bitmap, *t.Skin), bpActiveBitmap);
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Kjofol, *t.Skin, t.Lists);
  EXPECT_TRUE(t.Lists.PanelButtons[0].none());
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own, *t.Skin, t.Lists);
  EXPECT_EQ(t.Lists.PanelButtons[0], FixedPanelButtons(0));
}
