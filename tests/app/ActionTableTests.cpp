// The skin controls' action table on the six real windows with the Default skin: clicks are
// real mouse presses on the windows (or the control messages' drag path for sliders), and
// the tests look at what the actions change: settings, windows, engine values, the playlist.
#include <gtest/gtest.h>

#include <QLabel>

#include <map>

#include "CommandTestSupport.h"
#include "app/CommandActions.h"
#include "app/EqualizerPresetsForm.h"
#include "app/LaterDialogHooks.h"
#include "app/PlaylistWindowActions.h"
#include "app/skinunitmouseclickprocedures.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/TPlaylist.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/SkinRuntimeState.h"
#include "skinwindows/SkinnedWindowFixture.h"
#include "util/ShowMessage.h"

namespace {

// Every engine operation the table reaches records the value it would apply.
struct TEngineRecorder {
  std::map<std::string, std::vector<int>> Seen;
  TEngineRecorder() {
    KELDAR_AUDIOVIDEO_API_Operations& ops = KELDAR_AUDIOVIDEO_API_Slots();
    ops = {};
    KELDAR_AUDIOVIDEO_API_EngineState& e = KELDAR_AUDIOVIDEO_API_State();
    ops.SetVolume = [this, &e] { Seen["SetVolume"].push_back(e.Sliders.Volume); };
    ops.SetBalance = [this, &e] { Seen["SetBalance"].push_back(e.Sliders.Balance); };
    ops.SetPitch = [this, &e] { Seen["SetPitch"].push_back(e.Sliders.Pitch); };
    ops.SetTempo = [this, &e] { Seen["SetTempo"].push_back(e.Sliders.Tempo); };
    ops.SetSampleRate = [this, &e] { Seen["SetSampleRate"].push_back(e.Sliders.SampleRate); };
    ops.UpdateEQ = [this, &e] {
      Seen["UpdateEQ.PreAmp"].push_back(e.Sliders.PreAmp);
      Seen["UpdateEQ.Band4"].push_back(e.Sliders.Bands[3]);
    };
    ops.ApplyEQState = [this, &e] { Seen["ApplyEQState"].push_back(e.Effects.EQ); };
    ops.ApplyAutoAmplifyState = [this, &e] { Seen["ApplyAutoAmplifyState"].push_back(e.Effects.AutoAmplify); };
    ops.SeekToPercent = [this, &e] { Seen["SeekToPercent"].push_back(static_cast<int>(e.SeekPercent)); };
    ops.Pause = [this] { Seen["Pause"].push_back(1); };
  }
  ~TEngineRecorder() {
    KELDAR_AUDIOVIDEO_API_Slots() = {};
    KELDAR_AUDIOVIDEO_API_State().PlayerState = KELDAR_AUDIOVIDEO_API_psStopped;
  }
};

class ActionTable : public SkinnedWindows {
 protected:
  void SetUp() override {
    SkinnedWindows::SetUp();
    LaterDialogHooks() = {};
    ThePlaylist().Clear();
    ThePlaylist().SetCurrentIndex(-1);
    BindSkinControlActions(*set);
    ShowOnly({deck.get()});
  }
  void TearDown() override {
    ThePlaylist().Clear();
    LaterDialogHooks() = {};
    SkinnedWindows::TearDown();
  }

  QWidget& WindowOf(KELDARSkinControls_IDs control) {
    for (TSkinUnitTemplateForm* form : {static_cast<TSkinUnitTemplateForm*>(deck.get()),
                                        static_cast<TSkinUnitTemplateForm*>(equalizer.get()),
                                        static_cast<TSkinUnitTemplateForm*>(playlist.get()),
                                        static_cast<TSkinUnitTemplateForm*>(visuals.get()),
                                        static_cast<TSkinUnitTemplateForm*>(library.get()),
                                        static_cast<TSkinUnitTemplateForm*>(fullScreen.get())})
      if (form->Form_Controls.test(control)) return *form;
    ADD_FAILURE() << "no window holds " << KELDARSkinControlIdentString(control);
    return *deck;
  }
  void Click(KELDARSkinControls_IDs control) { SimulateSkinControlClick(WindowOf(control), control); }
  void Drag(KELDARSkinControls_IDs track, int value) {
    static_cast<TSkinUnitTemplateForm&>(WindowOf(track)).SetSliderValueByDrag(track, value);
  }
  void AddEntries(int n) {
    for (int i = 0; i < n; ++i) {
      TPlayListBoxItem item;
      item.FullPathAndFilename = "/music/song" + std::to_string(i) + ".mp3";
      ThePlaylist().Add(item);
    }
    playlist->LinesChanged();
  }
  std::vector<int> SelectedLines() const {
    std::vector<int> lines;
    for (int i = 0; i < ThePlaylist().Count(); ++i)
      if (ThePlaylist().Selected(i)) lines.push_back(i);
    return lines;
  }
};

TEST_F(ActionTable, RepeatAndShuffleButtonsSetTheirOptionFromTheButton) {
  Options_RepeatButtonState.BooleanValue = false;
  SetSkinToggleState(DeckForm_RepeatButton, false);
  Click(DeckForm_RepeatButton);
  EXPECT_TRUE(Options_RepeatButtonState.BooleanValue);
  EXPECT_TRUE(GetSkinToggleState(DeckForm_RepeatButton));
  Click(DeckForm_RepeatButton);
  EXPECT_FALSE(Options_RepeatButtonState.BooleanValue);

  SetSkinToggleState(DeckForm_ShuffleButton, true);
  Options_ShuffleButtonState.BooleanValue = true;
  Click(DeckForm_ShuffleButton);
  EXPECT_FALSE(Options_ShuffleButtonState.BooleanValue);
}

TEST_F(ActionTable, DeckSwitchesShowAndHideTheirWindowsAndCloseButtonsTurnThemOff) {
  const std::pair<KELDARSkinControls_IDs, QWidget*> switches[] = {
      {DeckForm_EQButton, equalizer.get()}, {DeckForm_PLButton, playlist.get()}, {DeckForm_DBButton, library.get()}};
  for (const auto& [button, window] : switches) {
    SCOPED_TRACE(KELDARSkinControlIdentString(button));
    SetSkinToggleState(button, false);
    Click(button);
    EXPECT_TRUE(window->isVisible());
    Click(button);
    EXPECT_FALSE(window->isVisible());
    Click(button);
    ASSERT_TRUE(window->isVisible());
  }
  const std::pair<KELDARSkinControls_IDs, KELDARSkinControls_IDs> closers[] = {
      {EqualizerForm_EQCloseWindowButton, DeckForm_EQButton},
      {PlayListEditorForm_PLCloseWindowButton, DeckForm_PLButton},
      {CDDatabaseForm_DBCloseWindowButton, DeckForm_DBButton}};
  for (const auto& [closer, button] : closers) {
    SCOPED_TRACE(KELDARSkinControlIdentString(closer));
    QWidget& window = WindowOf(closer);
    Click(closer);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(GetSkinToggleState(button));
    // On a hidden window the close button changes nothing.
    RunSkinControlAction(closer);
    EXPECT_FALSE(GetSkinToggleState(button));
    EXPECT_FALSE(window.isVisible());
  }
}

TEST_F(ActionTable, VisExButtonAndTheVisualsCloseButtonToggleTheVisualsWindowThroughTheCanvas) {
  const KELDARSkinControls_IDs canvas = GoverningGraphicsEffectsCanvas();
  ASSERT_EQ(canvas, EqualizerForm_EQGraphicsEffectsCanvas) << "the Default skin has the equalizer's canvas";
  SetKELDARSkinEffectMode(canvas, 2);
  SetSkinToggleState(DeckForm_VisExButton, false);
  Click(DeckForm_VisExButton);
  EXPECT_TRUE(visuals->isVisible());
  EXPECT_EQ(KELDARSkinEffectMode(canvas), 7);
  EXPECT_TRUE(GetSkinToggleState(DeckForm_VisExButton));
  Click(DeckForm_VisExButton);
  EXPECT_FALSE(visuals->isVisible());
  EXPECT_EQ(KELDARSkinEffectMode(canvas), 0);
  EXPECT_FALSE(GetSkinToggleState(DeckForm_VisExButton));

  Click(DeckForm_VisExButton);
  ASSERT_TRUE(visuals->isVisible());
  Click(VisualsScreenForm_VisExCloseWindowButton);
  EXPECT_FALSE(visuals->isVisible());
  EXPECT_FALSE(GetSkinToggleState(DeckForm_VisExButton));
  EXPECT_EQ(KELDARSkinEffectMode(canvas), 0);
}

TEST_F(ActionTable, VisExButtonWorksOnASkinWithoutEffectCanvases) {
  MultimediaSkin()[DeckForm_GraphicsEffectsCanvas].Control_Enabled = false;
  MultimediaSkin()[EqualizerForm_EQGraphicsEffectsCanvas].Control_Enabled = false;
  const QPoint before = deck->pos();
  SetSkinToggleState(DeckForm_VisExButton, false);
  Click(DeckForm_VisExButton);
  EXPECT_TRUE(visuals->isVisible());
  EXPECT_EQ(Options_DeckCurrentVisualEffect.IntegerValue, 7);
  Click(DeckForm_VisExButton);
  EXPECT_FALSE(visuals->isVisible());
  EXPECT_EQ(deck->pos(), before);
}

TEST_F(ActionTable, EffectCanvasesAdvanceTheirModeAndModeSevenShowsTheVisualsWindow) {
  for (KELDARSkinControls_IDs canvas : {DeckForm_GraphicsEffectsCanvas, EqualizerForm_EQGraphicsEffectsCanvas}) {
    SCOPED_TRACE(KELDARSkinControlIdentString(canvas));
    if (!MultimediaSkin()[canvas].Control_Enabled) continue;
    equalizer->show();
    SetKELDARSkinEffectMode(canvas, 0);
    Click(canvas);
    const int next = NextKELDARSkinEffectMode(canvas, 0);
    EXPECT_NE(next, 0);
    EXPECT_EQ(KELDARSkinEffectMode(canvas), next);
    EXPECT_FALSE(visuals->isVisible());
    SetKELDARSkinEffectMode(canvas, 6);
    Click(canvas);
    EXPECT_EQ(KELDARSkinEffectMode(canvas), 7);
    EXPECT_TRUE(visuals->isVisible());
    EXPECT_TRUE(GetSkinToggleState(DeckForm_VisExButton));
    Click(canvas);
    EXPECT_EQ(KELDARSkinEffectMode(canvas), 0);
    EXPECT_FALSE(visuals->isVisible());
    EXPECT_FALSE(GetSkinToggleState(DeckForm_VisExButton));
  }
}

TEST_F(ActionTable, SlidersHandTheirValuesToTheEngineSetters) {
  TEngineRecorder engine;
  Drag(DeckForm_VolumeImage, 30);
  Drag(DeckForm_BalanceImage, 80);
  Drag(DeckForm_PitchImage, 20);
  Drag(EqualizerForm_EQTempoImage, 65);
  Drag(EqualizerForm_EQSampleRateImage, 10);
  EXPECT_EQ(engine.Seen["SetVolume"], std::vector<int>{30});
  EXPECT_EQ(engine.Seen["SetBalance"], std::vector<int>{80});
  EXPECT_EQ(engine.Seen["SetPitch"], std::vector<int>{20});
  EXPECT_EQ(engine.Seen["SetTempo"], std::vector<int>{65});
  EXPECT_EQ(engine.Seen["SetSampleRate"], std::vector<int>{10});
  Drag(EqualizerForm_EQPreAmpImage, 90);
  Drag(EqualizerForm_EQBand4Image, 5);
  EXPECT_EQ(engine.Seen["UpdateEQ.PreAmp"], (std::vector<int>{90, 90}));
  EXPECT_EQ(engine.Seen["UpdateEQ.Band4"].back(), 5);
}

TEST_F(ActionTable, InAdvancedModeTheSlidersAreStoredInTheCurrentEntry) {
  TEngineRecorder engine;
  AddEntries(2);
  ThePlaylist().SetCurrentIndex(1);
  Options_PlaylistAdvancedMode.BooleanValue = true;
  Drag(DeckForm_PitchImage, 70);
  Drag(EqualizerForm_EQTempoImage, 40);
  Drag(EqualizerForm_EQPreAmpImage, 15);
  Drag(EqualizerForm_EQBand10Image, 99);
  const TPlayListBoxItem& current = ThePlaylist().Item(1);
  EXPECT_EQ(current.PitchValue, 70);
  EXPECT_EQ(current.TempoValue, 40);
  EXPECT_EQ(current.PreampValue, 15);
  EXPECT_EQ(current.EQBandValues[9], 99);
  EXPECT_EQ(ThePlaylist().Item(0).PitchValue, 50);

  Options_PlaylistAdvancedMode.BooleanValue = false;
  Drag(DeckForm_PitchImage, 10);
  EXPECT_EQ(ThePlaylist().Item(1).PitchValue, 70);
  EXPECT_EQ(engine.Seen["SetPitch"], (std::vector<int>{70, 10}));
}

TEST_F(ActionTable, PositionBarsSeekToTheirValueAndZeroWhileStopped) {
  TEngineRecorder engine;
  KELDAR_AUDIOVIDEO_API_State().PlayerState = KELDAR_AUDIOVIDEO_API_psPlaying;
  Drag(DeckForm_PosBarImage, 40);
  EXPECT_EQ(engine.Seen["SeekToPercent"], std::vector<int>{40});
  EXPECT_FALSE(SkinRuntimeState().PositionDragFlag);
  KELDAR_AUDIOVIDEO_API_State().PlayerState = KELDAR_AUDIOVIDEO_API_psPaused;
  Drag(FullScreenForm_FSPosBarImage, 75);
  EXPECT_EQ(engine.Seen["SeekToPercent"], (std::vector<int>{40, 75}));
  EXPECT_EQ(engine.Seen["Pause"].size(), 1u);
  KELDAR_AUDIOVIDEO_API_State().PlayerState = KELDAR_AUDIOVIDEO_API_psStopped;
  Drag(DeckForm_PosBarImage, 60);
  EXPECT_EQ(engine.Seen["SeekToPercent"].back(), 0);
}

TEST_F(ActionTable, EqualizerSwitchesReachTheEngineAndLevelCanvasesFollowEachOther) {
  TEngineRecorder engine;
  SetSkinToggleState(EqualizerForm_EQOnButton, false);
  Options_EQOnButtonState.BooleanValue = false;
  equalizer->show();
  Click(EqualizerForm_EQOnButton);
  EXPECT_TRUE(Options_EQOnButtonState.BooleanValue);
  EXPECT_EQ(engine.Seen["ApplyEQState"], std::vector<int>{1});
  EXPECT_EQ(engine.Seen["UpdateEQ.PreAmp"].size(), 1u);
  SetSkinToggleState(EqualizerForm_EQAutoButton, false);
  Click(EqualizerForm_EQAutoButton);
  EXPECT_TRUE(Options_EQAutoButtonState.BooleanValue);
  Click(EqualizerForm_EQAutoButton);
  EXPECT_FALSE(Options_EQAutoButtonState.BooleanValue);
  EXPECT_EQ(engine.Seen["ApplyAutoAmplifyState"], (std::vector<int>{1, 0}));

  SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, true);
  SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, false);
  RunSkinControlAction(EqualizerForm_EQLeftVolLevelCanvas);
  EXPECT_TRUE(GetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas));
  SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, false);
  RunSkinControlAction(EqualizerForm_EQRightVolLevelCanvas);
  EXPECT_FALSE(GetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas));
}

TEST_F(ActionTable, TimeWindowTogglesTheTimeModeAndTheTextWindowsCycleTheirEffect) {
  Options_ShowTimeMode.IntegerValue = 0;
  Click(DeckForm_SongCurrectPlayingTimeWindow);
  EXPECT_EQ(Options_ShowTimeMode.IntegerValue, 1);
  Click(DeckForm_SongCurrectPlayingTimeWindow);
  EXPECT_EQ(Options_ShowTimeMode.IntegerValue, 0);

  Options_SongArtistWindowTextEffect.IntegerValue = 2;
  Click(DeckForm_SongArtistWindow);
  EXPECT_EQ(Options_SongArtistWindowTextEffect.IntegerValue, 3);
  Click(DeckForm_SongArtistWindow);
  EXPECT_EQ(Options_SongArtistWindowTextEffect.IntegerValue, 0);
  Options_SongTitleWindowTextEffect.IntegerValue = 0;
  Click(DeckForm_SongTitleWindow);
  EXPECT_EQ(Options_SongTitleWindowTextEffect.IntegerValue, 1);
}

TEST_F(ActionTable, PlaylistMenuButtonsOpenTheirPanelAndPanelButtonsRunTheirOperation) {
  ShowOnly({deck.get(), playlist.get()});
  Click(PlayListEditorForm_PLMenu4Buttons);
  EXPECT_TRUE(playlist->PanelForButtons->isVisible());
  EXPECT_EQ(SkinRuntimeState().CurrentPanel, PlayListEditorForm_PLPanel4);

  AddEntries(4);
  RunSkinControlAction(PlayListEditorForm_PLSelectAllFilesButton);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 1, 2, 3}));
  RunSkinControlAction(PlayListEditorForm_PLSelectNoneFilesButton);
  EXPECT_TRUE(SelectedLines().empty());
  ThePlaylist().SetSelected(1, true);
  RunSkinControlAction(PlayListEditorForm_PLInverseSelectedFilesButton);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 2, 3}));
  RunSkinControlAction(PlayListEditorForm_PLRemSelectedFilesButton);
  ASSERT_EQ(ThePlaylist().Count(), 1);
  EXPECT_EQ(ThePlaylist().Item(0).FullPathAndFilename, "/music/song1.mp3");

  AddEntries(3);
  ThePlaylist().SetSelected(2, true);
  RunSkinControlAction(PlayListEditorForm_PLListScrollUpButton);
  EXPECT_EQ(SelectedLines(), std::vector<int>{1});
  RunSkinControlAction(PlayListEditorForm_PLListScrollDownButton);
  RunSkinControlAction(PlayListEditorForm_PLListScrollDownButton);
  RunSkinControlAction(PlayListEditorForm_PLListScrollDownButton);
  EXPECT_EQ(SelectedLines(), std::vector<int>{0});
  ThePlaylist().SetSelected(3, true);
  RunSkinControlAction(PlayListEditorForm_PLCropFilesButton);
  ASSERT_EQ(ThePlaylist().Count(), 2);
  RunSkinControlAction(PlayListEditorForm_PLNewListButton);
  EXPECT_EQ(ThePlaylist().Count(), 0);
  AddEntries(2);
  RunSkinControlAction(PlayListEditorForm_PLRemAllFilesButton);
  EXPECT_EQ(ThePlaylist().Count(), 0);
  playlist->Menus().DisplayMethodPopupMenu().hide();
}

TEST_F(ActionTable, ButtonsRunTheCommandsOfTheDeckAndThePreferencesPages) {
  TActionRecorder recorder;
  const std::pair<KELDARSkinControls_IDs, const char*> rows[] = {
      {DeckForm_BackwardButton, "Previous"},
      {DeckForm_PlayButton, "Play"},
      {DeckForm_PauseButton, "Pause"},
      {DeckForm_StopButton, "Stop"},
      {DeckForm_ForwardButton, "Next"},
      {DeckForm_EjectButton, "AddFiles"},
      {DeckForm_RecordButton, "RecordingDialog"},
      {DeckForm_MainMenuButton, "Preferences:About"},
      {DeckForm_CloseWindowButton, "CloseMainWindow"},
      {EqualizerForm_EQMainMenuButton, "Preferences:DSP Plugins"},
      {VisualsScreenForm_VisExMainMenuButton, "Preferences:VIS Plugins"},
      {FullScreenForm_FSBackwardButton, "Previous"},
      {FullScreenForm_FSPlayButton, "Play"},
      {FullScreenForm_FSPauseButton, "Pause"},
      {FullScreenForm_FSStopButton, "Stop"},
      {FullScreenForm_FSForwardButton, "Next"},
  };
  for (const auto& [control, call] : rows) {
    SCOPED_TRACE(KELDARSkinControlIdentString(control));
    recorder.Calls.clear();
    QWidget& window = WindowOf(control);
    window.show();
    Click(control);
    EXPECT_EQ(recorder.Calls, std::vector<std::string>{call});
  }
}

TEST_F(ActionTable, RowsWhoseDialogsAreBuiltSeparatelyRunTheirHook) {
  std::vector<std::string> ran;
  LaterDialogHooks().ShowAddURLDialog = [&ran] { ran.push_back("ShowAddURLDialog"); };
  LaterDialogHooks().ShowLibraryFindDialog = [&ran] { ran.push_back("ShowLibraryFindDialog"); };
  LaterDialogHooks().ShowLibrarySortDialog = [&ran] { ran.push_back("ShowLibrarySortDialog"); };
  LaterDialogHooks().ViewSelectedLibraryEntry = [&ran] { ran.push_back("ViewSelectedLibraryEntry"); };
  LaterDialogHooks().ShowLibraryListMenuAt = [&ran](KELDARSkinControls_IDs) { ran.push_back("ShowLibraryListMenuAt"); };
  for (KELDARSkinControls_IDs control : {PlayListEditorForm_PLAddUrlButton, CDDatabaseForm_DBMenu1Buttons,
                                         CDDatabaseForm_DBMenu2Buttons, CDDatabaseForm_DBMenu3Buttons,
                                         CDDatabaseForm_DBMenu5Buttons})
    RunSkinControlAction(control);
  EXPECT_EQ(ran, (std::vector<std::string>{"ShowAddURLDialog", "ShowLibraryFindDialog", "ShowLibrarySortDialog",
                                           "ViewSelectedLibraryEntry", "ShowLibraryListMenuAt"}));
  int scrolledTo = -1;
  TEqualizerPresetsForm presets(nullptr, program / "keldar3.eqp");
  LaterDialogHooks().ScrollLibraryGrid = [&scrolledTo](int value) { scrolledTo = value; };
  RunSkinControlAction(EqualizerForm_EQPresetsButton);
  Drag(CDDatabaseForm_DBScrollImage, 35);
  EXPECT_TRUE(presets.isVisible());
  EXPECT_EQ(scrolledTo, 35);
  presets.hide();
}

TEST_F(ActionTable, LibraryPrintRowShowsTheHintOrTheNoPrinterMessage) {
  const std::string log = program / "messages.log";
  TMessageLogCapture capture(log);
  EXPECT_EQ(OpenLibraryPrintPreview(library->DBScrollBox(), false), nullptr);
  const std::vector<TMessage> messages = ReadMessageLog(log);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text,
            std::string("Error: There is no default printer currently selected.\rPrinting features unavailable..."));

  QPointer<QWidget> first = OpenLibraryPrintPreview(library->DBScrollBox(), true);
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->isVisible());
  auto* hint = first->findChild<QLabel*>("LibraryPrintPreviewHint");
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->text().toStdString(),
            "TIP : Resize CD Database Window to adjust the grid size, and then press the Preview Button to see the "
            "result !!!");
  // A new preview releases the one before it.
  QPointer<QWidget> second = OpenLibraryPrintPreview(library->DBScrollBox(), true);
  EXPECT_TRUE(second);
  EXPECT_FALSE(first);
  delete second.data();

  // The row itself: on this machine either way, never silently.
  RunSkinControlAction(CDDatabaseForm_DBMenu4Buttons);
  if (DefaultPrinterAvailable()) {
    EXPECT_EQ(ReadMessageLog(log).size(), 1u);
  } else {
    ASSERT_EQ(ReadMessageLog(log).size(), 2u);
    EXPECT_EQ(ReadMessageLog(log)[1].Text, kNoDefaultPrinterText);
  }
}

}  // namespace
