// Real mouse events on the real skinned windows with the Default skin: buttons, toggles,
// window moves and resizes, sliders, overlapping controls, rendered into images.
#include "SkinnedWindowFixture.h"

#include "skin/SkinRuntimeState.h"
#include "skin/SkinSliders.h"

namespace {

TEST_F(SkinnedWindows, ButtonReleasedOutsideStaysUnlitAndRunsNothing) {
  int plays = 0;
  Bind(DeckForm_PlayButton, [&] { ++plays; });
  const QRect play = ControlRect(DeckForm_PlayButton);
  const QImage& unlit = Sheet(TKELDARSkinBitmap::DeckNotActive);
  const QImage& lit = Sheet(TKELDARSkinBitmap::DeckActive);
  ASSERT_FALSE(SameRect(unlit, play.topLeft(), lit, play));  // the two states differ here

  Press(deck.get(), Inside(DeckForm_PlayButton));
  EXPECT_TRUE(SameRect(Grab(deck.get()), play.topLeft(), lit, play));  // lit while held
  Release(deck.get(), play.topLeft() + QPoint(-20, -30));
  EXPECT_EQ(plays, 0);
  EXPECT_TRUE(SameRect(Grab(deck.get()), play.topLeft(), unlit, play));
  EXPECT_EQ(SkinRuntimeState().Captured, Form_NullControl);

  Click(deck.get(), Inside(DeckForm_PlayButton));
  EXPECT_EQ(plays, 1);
  EXPECT_EQ(SkinRuntimeState().LastClicked, DeckForm_PlayButton);
  EXPECT_TRUE(SameRect(Grab(deck.get()), play.topLeft(), unlit, play));
}

TEST_F(SkinnedWindows, ToggleFlipsOnceOverItselfAndStaysWhenReleasedOutside) {
  int runs = 0;
  Bind(DeckForm_RepeatButton, [&] { ++runs; });
  const QRect repeat = ControlRect(DeckForm_RepeatButton);
  SetSkinToggleState(DeckForm_RepeatButton, false);

  Press(deck.get(), Inside(DeckForm_RepeatButton));
  EXPECT_TRUE(SameRect(Grab(deck.get()), repeat.topLeft(), Sheet(TKELDARSkinBitmap::DeckPressed1), repeat));
  Release(deck.get(), Inside(DeckForm_RepeatButton));
  EXPECT_TRUE(GetSkinToggleState(DeckForm_RepeatButton));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(SameRect(Grab(deck.get()), repeat.topLeft(), Sheet(TKELDARSkinBitmap::DeckActive), repeat));

  Press(deck.get(), Inside(DeckForm_RepeatButton));
  EXPECT_TRUE(SameRect(Grab(deck.get()), repeat.topLeft(), Sheet(TKELDARSkinBitmap::DeckPressed2), repeat));
  Release(deck.get(), {200, 60});
  EXPECT_TRUE(GetSkinToggleState(DeckForm_RepeatButton));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(SameRect(Grab(deck.get()), repeat.topLeft(), Sheet(TKELDARSkinBitmap::DeckActive), repeat));
}

TEST_F(SkinnedWindows, TitleBarDragsTheDeckAndItsCornerDoesNotResizeIt) {
  ShowOnly({deck.get()});
  const QPoint start = deck->pos();
  Drag(deck.get(), {150, 7}, {40, 25});
  EXPECT_EQ(deck->pos(), start + QPoint(40, 25));
  EXPECT_EQ(SkinRuntimeState().Captured, Form_NullControl);
  // The bottom-right 16 x 16 of the deck drags too (a fixed window is never resized).
  Drag(deck.get(), {297, 127}, {-30, 10});
  EXPECT_EQ(deck->pos(), start + QPoint(10, 35));
  EXPECT_EQ(deck->size(), QSize(300, 130));
}

TEST_F(SkinnedWindows, PlaylistCornerResizesInStepsAndNeverBelowTheMinimum) {
  ShowOnly({playlist.get()});
  const QPoint start = playlist->pos();
  ASSERT_EQ(playlist->size(), QSize(300, 130));
  Drag(playlist.get(), {295, 125}, {30, 30});
  EXPECT_EQ(playlist->size(), QSize(325, 156));
  EXPECT_EQ(playlist->pos(), start);
  Drag(playlist.get(), {320, 150}, {-200, -100});
  EXPECT_EQ(playlist->size(), QSize(300, 130));
  // Just outside the corner the press moves the window instead.
  Drag(playlist.get(), {280, 128}, {10, 0});
  EXPECT_EQ(playlist->pos(), start + QPoint(10, 0));
  EXPECT_EQ(playlist->size(), QSize(300, 130));
}

TEST_F(SkinnedWindows, TheDeckDragsTheWindowsTouchingIt) {
  ShowOnly({deck.get(), equalizer.get()});
  ASSERT_EQ(deck->geometry().right() + 1, equalizer->x());  // default places: side by side
  TMagnet::RebuildClusters();
  const QPoint eqStart = equalizer->pos();
  Drag(deck.get(), {150, 7}, {15, 12});
  EXPECT_EQ(equalizer->pos(), eqStart + QPoint(15, 12));
  // Dragged on its own the equalizer leaves; close to the deck it snaps back to its edge.
  Drag(equalizer.get(), {150, 7}, {14, 0});
  EXPECT_EQ(equalizer->pos(), eqStart + QPoint(15, 12));
  Drag(equalizer.get(), {150, 7}, {60, 0});
  EXPECT_EQ(equalizer->pos(), eqStart + QPoint(75, 12));
  const QPoint eqAway = equalizer->pos();
  Drag(deck.get(), {150, 7}, {0, 40});
  EXPECT_EQ(equalizer->pos(), eqAway);
}

TEST_F(SkinnedWindows, ControlHeldDuringADragInvertsSnapping) {
  ShowOnly({deck.get(), equalizer.get()});
  equalizer->move(deck->x() + 360, deck->y());
  QCoreApplication::processEvents();
  Drag(equalizer.get(), {150, 7}, {-50, 0}, Qt::ControlModifier);  // 10 pixels from the deck
  EXPECT_EQ(equalizer->x(), deck->x() + 310);
  Drag(equalizer.get(), {150, 7}, {-1, 0});
  EXPECT_EQ(equalizer->x(), deck->x() + 300);
}

TEST_F(SkinnedWindows, VolumeTrackEndsAndTheVerticalRule) {
  int applied = 0;
  Bind(DeckForm_VolumeImage, [&] { ++applied; });
  const QRect track = ControlRect(DeckForm_VolumeImage);
  ASSERT_EQ(track.top(), 20);
  ASSERT_EQ(track.height(), 60);
  const int x = track.left() + 5;

  Press(deck.get(), {x, 50});
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 50);
  EXPECT_FALSE(SkinRuntimeState().SliderDragFlag);
  MoveHeld(deck.get(), {x, 21});  // follows live and applies at once
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 100);
  EXPECT_EQ(applied, 1);
  Release(deck.get(), {x, 21});
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 100);
  EXPECT_EQ(applied, 2);
  EXPECT_TRUE(SkinRuntimeState().SliderDragFlag);

  Press(deck.get(), {x, 21});
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 100);
  Release(deck.get(), {x, 21});
  Press(deck.get(), {x, 79});  // one pixel above the bottom end
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 0);
  Release(deck.get(), {x, 79});
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 0);
}

TEST_F(SkinnedWindows, HorizontalTrackShowsFrameNineteenAtOneHundredAndZeroAtZero) {
  const QRect track = ControlRect(DeckForm_BalanceImage);
  const QImage& strip = Sheet(TKELDARSkinBitmap::DeckBalanceBar);
  ASSERT_EQ(MultimediaSkin()[DeckForm_BalanceImage].Control_NumberOfImages, 20);
  const auto frame = [&](int f) {
    const TSkinPixelPoint p = SliderStripFramePosition(DeckForm_BalanceImage, f, MultimediaSkin());
    return QPoint(p.X, p.Y);
  };
  // Compare the part of the track the knob does not cover.
  const QRect leftPart(0, 0, track.width() - 8, track.height());
  const QRect rightPart(8, 0, track.width() - 8, track.height());
  ASSERT_FALSE(SameRect(strip, frame(19), strip, QRect(frame(0), leftPart.size())));

  set->Window(TKELDARSkinnedWindow::Deck)->SetSliderValueByDrag(DeckForm_BalanceImage, 100);
  QImage shown = Grab(deck.get());
  EXPECT_TRUE(SameRect(shown, track.topLeft(), strip, QRect(frame(19), leftPart.size())));
  set->Window(TKELDARSkinnedWindow::Deck)->SetSliderValueByDrag(DeckForm_BalanceImage, 0);
  shown = Grab(deck.get());
  EXPECT_TRUE(SameRect(shown, track.topLeft() + rightPart.topLeft(), strip,
                       QRect(frame(0) + rightPart.topLeft(), rightPart.size())));
  // The idle knob image sits at the track's left end.
  const TSkinPixelPoint knob = SliderStripKnobPosition(DeckForm_BalanceImage, 1, MultimediaSkin());
  EXPECT_TRUE(SameRect(shown, track.topLeft(), strip, QRect(knob.X, knob.Y, 5, 11)));
}

TEST_F(SkinnedWindows, DoubleClickingTheBalanceTrackCentresAndAppliesIt) {
  std::vector<int> applied;
  Bind(DeckForm_BalanceImage, [&] { applied.push_back(GetSkinControlValue(DeckForm_BalanceImage)); });
  const QRect track = ControlRect(DeckForm_BalanceImage);
  const QPoint at(track.left() + 10, track.top() + 5);
  const QPoint global = deck->mapToGlobal(at);
  Send(deck.get(), QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton);
  Send(deck.get(), QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(GetSkinControlValue(DeckForm_BalanceImage), 17);
  Send(deck.get(), QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton);
  Send(deck.get(), QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(GetSkinControlValue(DeckForm_BalanceImage), 50);
  ASSERT_FALSE(applied.empty());
  EXPECT_EQ(applied.back(), 50);
  EXPECT_FALSE(deck->Form_DoubleClicked);
}

TEST_F(SkinnedWindows, PositionTrackSetsTheDragFlagAndShowsItsReadout) {
  int applied = 0;
  Bind(DeckForm_PosBarImage, [&] { ++applied; });
  SetSkinControlProcessedText(DeckForm_SongArtistWindow, "Artist");
  const QRect track = ControlRect(DeckForm_PosBarImage);
  Press(deck.get(), {track.left() + track.width() / 2, track.top() + 4});
  EXPECT_TRUE(SkinRuntimeState().PositionDragFlag);
  EXPECT_EQ(GetSkinControlProcessedText(DeckForm_SongArtistWindow), "50%");
  MoveHeld(deck.get(), {track.left() + track.width() / 4, track.top() + 4});
  EXPECT_EQ(applied, 0);  // the position is applied on release only
  EXPECT_EQ(GetSkinControlProcessedText(DeckForm_SongArtistWindow), "25%");
  Release(deck.get(), {track.left() + track.width() / 4, track.top() + 4});
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(GetSkinControlProcessedText(DeckForm_SongArtistWindow), "Artist");
  // Released outside, the track still applies and clears the flag.
  Press(deck.get(), {track.left() + 3, track.top() + 4});
  Release(deck.get(), {150, 40});
  EXPECT_EQ(applied, 2);
  EXPECT_FALSE(SkinRuntimeState().PositionDragFlag);
}

TEST_F(SkinnedWindows, OverlappingControlsGiveTheClickToTheHigherId) {
  int plays = 0, stops = 0;
  Bind(DeckForm_PlayButton, [&] { ++plays; });
  Bind(DeckForm_StopButton, [&] { ++stops; });
  StringIdentStructure& stop = MultimediaSkin()[DeckForm_StopButton];
  const QRect play = ControlRect(DeckForm_PlayButton);
  stop.Control_Left = play.left() + 10;
  stop.Control_Top = play.top();
  Click(deck.get(), play.topLeft() + QPoint(15, 5));
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(plays, 0);
  Click(deck.get(), play.topLeft() + QPoint(5, 5));
  EXPECT_EQ(plays, 1);
}

TEST_F(SkinnedWindows, HintFollowsTheMouseAndInputWaitsForAReadySkin) {
  Send(deck.get(), QEvent::MouseMove, Inside(DeckForm_PlayButton), deck->mapToGlobal(Inside(DeckForm_PlayButton)),
       Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(deck->toolTip(), "Play Current File");
  Send(deck.get(), QEvent::MouseMove, {150, 7}, deck->mapToGlobal(QPoint(150, 7)), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(deck->toolTip(), "");  // the title bar is no target: the background has no hint

  int plays = 0;
  Bind(DeckForm_PlayButton, [&] { ++plays; });
  LoadedKELDARSkin().Ready = false;
  Click(deck.get(), Inside(DeckForm_PlayButton));
  EXPECT_EQ(plays, 0);
  EXPECT_EQ(MultimediaSkin()[DeckForm_PlayButton].Control_NEWMouseState, meMouseUp);
  LoadedKELDARSkin().Ready = true;
  Click(deck.get(), Inside(DeckForm_PlayButton));
  EXPECT_EQ(plays, 1);
}

TEST_F(SkinnedWindows, EqualizerSlidersAndTogglesWorkTheSameWay) {
  ShowOnly({equalizer.get()});
  int bands = 0, on = 0;
  Bind(EqualizerForm_EQBand1Image, [&] { ++bands; });
  Bind(EqualizerForm_EQOnButton, [&] { ++on; });
  const QRect band = ControlRect(EqualizerForm_EQBand1Image);
  Press(equalizer.get(), {band.left() + 3, band.top() + 1});
  Release(equalizer.get(), {band.left() + 3, band.top() + 1});
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQBand1Image), 100);
  EXPECT_EQ(bands, 1);
  const bool before = GetSkinToggleState(EqualizerForm_EQOnButton);
  Click(equalizer.get(), Inside(EqualizerForm_EQOnButton));
  EXPECT_NE(GetSkinToggleState(EqualizerForm_EQOnButton), before);
  EXPECT_EQ(on, 1);
}

}  // namespace

namespace {

TEST_F(SkinnedWindows, HostileGeometryNeitherCrashesNorEscapesTheValueRange) {
  MultimediaSkinStructure& skin = MultimediaSkin();
  skin[PlayListEditorForm_PLTitleBarHorizontalImage].Control_Width = 0;
  skin[PlayListEditorForm_PLVerticalLeftImage].Control_Height = 0;
  skin[PlayListEditorForm_PLVerticalRightImage].Control_Height = -5;
  skin[PlayListEditorForm_PLBottomExtraImage1].Control_Width = -3;
  skin[PlayListEditorForm_PLScrollButton].Control_Width = 100000;
  skin[DeckForm_VolumeImage].Control_Height = 0;
  skin[DeckForm_VolumeImage].Control_NumberOfImages = 0;
  skin[DeckForm_BalanceImage].Control_Width = -10;
  skin[DeckForm_PitchImage].Control_NumberOfImages = 1000000;
  skin[DeckForm_PlayButton].Control_Left = -40000;
  skin[DeckForm_PlayButton].Control_Width = 90000;
  ShowOnly({deck.get(), playlist.get()});
  for (QSize size : {QSize(300, 130), QSize(301, 131), QSize(1200, 900)}) {
    playlist->resize(size);
    EXPECT_EQ(Grab(playlist.get()).size(), size);
  }
  EXPECT_EQ(Grab(deck.get()).size(), QSize(300, 130));
  for (KELDARSkinControls_IDs track : {DeckForm_VolumeImage, DeckForm_BalanceImage, DeckForm_PitchImage}) {
    const QRect r = ControlRect(track);
    Press(deck.get(), r.topLeft());
    MoveHeld(deck.get(), r.topLeft() + QPoint(7, 7));
    Release(deck.get(), r.topLeft() + QPoint(300, 300));
    EXPECT_GE(GetSkinControlValue(track), 0);
    EXPECT_LE(GetSkinControlValue(track), 100);
    EXPECT_GE(SkinSliderFrameIndex(track), 0);
  }
  Grab(deck.get());
  EXPECT_EQ(SkinRuntimeState().Captured, Form_NullControl);
}

}  // namespace
