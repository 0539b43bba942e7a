// The walk over everything a user can start: the player's windows and dialogs created and
// connected in the order the program uses, then every action of the action table, every
// entry of the main menu (the right-click menu mirrors it) and every preferences page run,
// each checked to open or do what it stands for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "TestSupport.h"
#include "app/ApiWindowClicks.h"
#include "app/ApplicationForms.h"
#include "app/CDHooks.h"
#include "app/CommandActions.h"
#include "app/CommandHooks.h"
#include "app/DeckControllerSetup.h"
#include "app/DialogsSetup.h"
#include "app/LaterDialogHooks.h"
#include "app/LibraryHooks.h"
#include "app/PlaylistWindowActions.h"
#include "app/PlaylistWindowHooks.h"
#include "app/PluginHostSetup.h"
#include "app/PopUpMenus.h"
#include "app/RecordingAndConversionSetup.h"
#include "app/ShortcutsUnit.h"
#include "app/StartupHooks.h"
#include "app/TRecordingDialogForm.h"
#include "app/VisualsScreenVideo.h"
#include "app/PlaylistDialogs.h"
#include "app/PlaylistEditorForm.h"
#include "app/ProgramStartup.h"
#include "app/SkinnedWindowSet.h"
#include "app/skinunitmouseclickprocedures.h"
#include "dialogs/PreferencesHooks.h"
#include "dialogs/PreferencesPage.h"
#include "app/DeckController.h"
#include "util/ShowMessage.h"
#include "engine/KELDAR_EncodersList.h"
#include "playlist/TPlaylist.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/SkinMaskSliders.h"
#include "skin/SkinRuntimeState.h"
#include "skin/SkinUnitTemplate.h"
#include "dialogs/OpenURLDialog.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_VideoEngine.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/PreferencesPageTree.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "keldar_actionwalk_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class ActionWalk : public ::testing::Test {
 protected:
  // The engine on the no-sound device: it fills the operation slots the actions go through.
  static void SetUpTestSuite() {
    App();
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
  }
  static void TearDownTestSuite() {
    if (KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI) KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  }
  void SetUp() override {
    App();
    InitSettingsDefaults();
    SetProgramFolderForTesting(folder_.Path());
    forms_.CreateDeckForm();
    forms_.CreateRemainingForms();
    TDeckForm* deck = forms_.Deck();
    InstallApiWindowHooks(*forms_.SkinnedWindows());
    InstallDeckController(forms_);
    InstallPlaylistWindowActions();
    InstallRecordingAndConversion(forms_);
    InstallCommandHooks();
    InstallPluginHost(deck);
    InstallCDHooks(deck);
    if (forms_.Library()) InstallLibraryHooks(*forms_.Library());
    InstallDialogs(forms_);
  }
  void TearDown() override {
    ClearApiWindowHooks();
    ClearDeckController();
    ClearPluginHost();
    ClearCDHooks();
    ClearDialogs();
    ClearLibraryHooks();
    StartupHooks() = {};
    for (int i = 0; i < ZorvaneAudioPlayerControls_END; ++i)
      MultimediaSkin()[static_cast<KELDARSkinControls_IDs>(i)].Control_LeftClickProcedure = {};
    forms_.DestroyAll();
  }
  TTempFolder folder_;
  TMessageLogCapture log_{folder_ / "messages.log"};
  TApplicationForms forms_;
};

TEST_F(ActionWalk, EveryActionOfTheTableIsInstalled) {
  const TCommandActions& a = CommandActions();
  const std::pair<const char*, bool> actions[] = {
      {"Previous", bool(a.Previous)},
      {"Play", bool(a.Play)},
      {"Pause", bool(a.Pause)},
      {"Stop", bool(a.Stop)},
      {"Next", bool(a.Next)},
      {"EnginePlayerState", bool(a.EnginePlayerState)},
      {"AddFiles", bool(a.AddFiles)},
      {"ShowRecordingDialog", bool(a.ShowRecordingDialog)},
      {"ShowPreferencesPage", bool(a.ShowPreferencesPage)},
      {"SelectPreferencesPage", bool(a.SelectPreferencesPage)},
      {"ClickDeckControl", bool(a.ClickDeckControl)},
      {"ShowMainForm", bool(a.ShowMainForm)},
      {"CloseMainWindow", bool(a.CloseMainWindow)},
      {"CheckForUpdates", bool(a.CheckForUpdates)},
      {"VisualsMenuItem", bool(a.VisualsMenuItem)},
  };
  for (const auto& [name, installed] : actions) EXPECT_TRUE(installed) << name;

  const TLaterDialogHooks& d = LaterDialogHooks();
  const std::pair<const char*, bool> dialogs[] = {
      {"ShowPreferencesPage", bool(d.ShowPreferencesPage)},
      {"SelectPreferencesPage", bool(d.SelectPreferencesPage)},
      {"ShowRecordingDialog", bool(d.ShowRecordingDialog)},
      {"ShowAddURLDialog", bool(d.ShowAddURLDialog)},
      {"ScrollLibraryGrid", bool(d.ScrollLibraryGrid)},
      {"ShowLibraryFindDialog", bool(d.ShowLibraryFindDialog)},
      {"ShowLibrarySortDialog", bool(d.ShowLibrarySortDialog)},
      {"ViewSelectedLibraryEntry", bool(d.ViewSelectedLibraryEntry)},
      {"ShowLibraryListMenuAt", bool(d.ShowLibraryListMenuAt)},
  };
  for (const auto& [name, installed] : dialogs) EXPECT_TRUE(installed) << name;

  const TPlaylistWindowHooks& p = PlaylistWindowHooks();
  const std::pair<const char*, bool> playlist[] = {
      {"ShowTagEditor", bool(p.ShowTagEditor)},
      {"ShowCDTrackInfo", bool(p.ShowCDTrackInfo)},
      {"AddSelectedFilesToLibrary", bool(p.AddSelectedFilesToLibrary)},
      {"AddSelectedURLsToFavourites", bool(p.AddSelectedURLsToFavourites)},
      {"ConvertSelectedFiles", bool(p.ConvertSelectedFiles)},
  };
  for (const auto& [name, installed] : playlist) EXPECT_TRUE(installed) << name;

  // The first-show and exit steps that load and save the lists and hide the URL dialog.
  const TStartupHooks& s = StartupHooks();
  EXPECT_TRUE(s.LoadServerAndEncoderLists);
  EXPECT_TRUE(s.SaveServerAndEncoderLists);
  EXPECT_TRUE(s.HideOpenURLDialog);
  EXPECT_TRUE(s.RestartPlugins);
  EXPECT_TRUE(s.StopPlugins);
  EXPECT_TRUE(s.BuildPopUpMenus);
}

TEST_F(ActionWalk, EveryMenuEntryAndEveryPageOpensItsPage) {
  TPreferencesDialogForm* preferences = forms_.Preferences();
  ASSERT_NE(preferences, nullptr);
  // The main menu mirrors the tree: every entry that names a page shows the dialog on it.
  QMenu menu;
  CreatePopUpMenus(menu);
  std::vector<QAction*> entries;
  std::function<void(QMenu&)> collect = [&](QMenu& m) {
    for (QAction* action : m.actions()) {
      if (action->menu()) collect(*action->menu());
      else if (!action->isSeparator()) entries.push_back(action);
    }
  };
  collect(menu);
  ASSERT_FALSE(entries.empty());
  int pages = 0;
  for (QAction* entry : entries) {
    const std::string page = PreferencesPageOfCaption(entry->text());
    if (!preferences->Page(page)) continue;
    preferences->hide();
    entry->trigger();
    EXPECT_TRUE(preferences->isVisible()) << page;
    EXPECT_EQ(preferences->CurrentPageCaption(), page);
    ++pages;
  }
  EXPECT_GE(pages, 15);
  // Every page of the dialog, through the command every window uses.
  for (const std::string& page : preferences->PageCaptions()) {
    preferences->hide();
    CommandShowPreferencesPage(page);
    EXPECT_TRUE(preferences->isVisible()) << page;
    EXPECT_EQ(preferences->CurrentPageCaption(), page);
  }
  // F1 is "Help".
  preferences->hide();
  RunShortcutCommand(TShortcutCommand::HelpPage);
  EXPECT_EQ(preferences->CurrentPageCaption(), "Help");
  preferences->hide();
}

TEST_F(ActionWalk, TheVisualsWindowsMenuSetsTheAspectModeAndFullScreen) {
  for (const auto& [item, mode] : {std::pair{"Letter Box", kVideoLetterBox}, {"Crop", kVideoCrop},
                                   {"Stretched", kVideoStretched}}) {
    CommandVisualsMenuItem(item);
    EXPECT_EQ(VideoAspectMode(), mode) << item;
  }
  const bool before = VisualsScreenInFullscreen();
  CommandVisualsMenuItem("Fullscreen Display");
  EXPECT_NE(VisualsScreenInFullscreen(), before);
  CommandVisualsMenuItem("Fullscreen Display");
  EXPECT_EQ(VisualsScreenInFullscreen(), before);
}

TEST_F(ActionWalk, TheDialogsOpenFromTheirPlaces) {
  LaterDialogHooks().ShowAddURLDialog();
  EXPECT_TRUE(forms_.OpenURL()->isVisible());
  StartupHooks().HideOpenURLDialog();
  EXPECT_FALSE(forms_.OpenURL()->isVisible());
  // "Add Selected URLs to Favourites" shows the dialog and appends the selected stations.
  TPlaylist list;
  TPlayListBoxItem station;
  station.FullPathAndFilename = "http://radio.example:8000/live";
  station.ArtistName = "Radio Example";
  list.Add(station);
  list.SetSelected(0, true);
  PlaylistWindowHooks().AddSelectedURLsToFavourites(list);
  EXPECT_TRUE(forms_.OpenURL()->isVisible());
  ASSERT_EQ(forms_.OpenURL()->Favourites().TotalURLFavourites, 1);
  EXPECT_EQ(forms_.OpenURL()->Favourites().CurrentURLFavourites[0].URLDescription, "Radio Example");
  forms_.OpenURL()->hide();
  CommandShowRecordingDialog();
  TRecordingDialogForm& recording = *forms_.Recording();
  EXPECT_TRUE(recording.isVisible());
  // "Settings" opens "Encoders Options" and leaves the encoder list as it is.
  TPreferencesDialogForm& preferences = *forms_.Preferences();
  const int encoders = EncodersList().TotalEncoders;
  recording.findChild<QPushButton*>("SettingsButton")->click();
  EXPECT_TRUE(preferences.isVisible());
  EXPECT_EQ(preferences.CurrentPageCaption(), "Encoders Options");
  EXPECT_EQ(EncodersList().TotalEncoders, encoders);
  preferences.hide();
  // "..." is the preferences' own chooser on that page: its title, the folder stored without
  // its trailing separator, and both dialogs showing it.
  std::vector<std::string> asked;
  PreferencesHooks().ChooseFolder = [&](const std::string& title, const std::string& start) {
    asked.push_back(title + " @ " + start);
    return folder_ / "records/";
  };
  Options_RecordingOutputDir.StringValue = folder_ / "before";
  recording.findChild<QPushButton*>("ChangeOutputDirButton")->click();
  EXPECT_EQ(asked, std::vector<std::string>{"Add Directory To Playlist @ " + (folder_ / "before")});
  EXPECT_TRUE(preferences.isVisible());
  EXPECT_EQ(preferences.CurrentPageCaption(), "Encoders Options");
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, folder_ / "records");
  EXPECT_EQ(recording.findChild<QLineEdit*>("OutputDirEdit")->text().toStdString(), folder_ / "records");
  EXPECT_EQ(preferences.Page("Encoders Options")->findChild<QLineEdit*>("OutputDirEdit")->text().toStdString(),
            folder_ / "records");
  // Cancelled: nothing changes.
  PreferencesHooks().ChooseFolder = [](const std::string&, const std::string&) { return std::string(); };
  recording.findChild<QPushButton*>("ChangeOutputDirButton")->click();
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, folder_ / "records");
  EXPECT_EQ(EncodersList().TotalEncoders, encoders);
  preferences.hide();
  recording.hide();
}


// ---- every enabled control of the Default skin, clicked on the connected program ----

// The controls the action table gives an action; every other control runs nothing.
const std::set<KELDARSkinControls_IDs>& ControlsWithAnAction() {
  static const std::set<KELDARSkinControls_IDs> table = [] {
    std::set<KELDARSkinControls_IDs> s = {
        DeckForm_MainMenuButton, DeckForm_MinimizeWindowButton, DeckForm_CloseWindowButton, DeckForm_BackwardButton,
        DeckForm_PlayButton, DeckForm_PauseButton, DeckForm_StopButton, DeckForm_ForwardButton, DeckForm_EjectButton,
        DeckForm_RecordButton, DeckForm_RepeatButton, DeckForm_ShuffleButton, DeckForm_EQButton, DeckForm_PLButton,
        DeckForm_VisExButton, DeckForm_DBButton, DeckForm_VolumeImage, DeckForm_BalanceImage, DeckForm_PitchImage,
        DeckForm_PosBarImage, DeckForm_SongCurrectPlayingTimeWindow, DeckForm_SongArtistWindow,
        DeckForm_SongTitleWindow, DeckForm_GraphicsEffectsCanvas, EqualizerForm_EQMainMenuButton,
        EqualizerForm_EQCloseWindowButton, EqualizerForm_EQOnButton, EqualizerForm_EQAutoButton,
        EqualizerForm_EQPresetsButton, EqualizerForm_EQTempoImage, EqualizerForm_EQSampleRateImage,
        EqualizerForm_EQPreAmpImage, EqualizerForm_EQLeftVolLevelCanvas, EqualizerForm_EQRightVolLevelCanvas,
        EqualizerForm_EQGraphicsEffectsCanvas, PlayListEditorForm_PLCloseWindowButton, PlayListEditorForm_PLScrollImage,
        PlayListEditorForm_PLListScrollUpButton, PlayListEditorForm_PLListScrollDownButton,
        PlayListEditorForm_PLAddFilesButton, PlayListEditorForm_PLAddDirButton, PlayListEditorForm_PLAddUrlButton,
        PlayListEditorForm_PLRemSelectedFilesButton, PlayListEditorForm_PLCropFilesButton,
        PlayListEditorForm_PLRemAllFilesButton, PlayListEditorForm_PLSelectAllFilesButton,
        PlayListEditorForm_PLSelectNoneFilesButton, PlayListEditorForm_PLInverseSelectedFilesButton,
        PlayListEditorForm_PLMiscOptionsButton, PlayListEditorForm_PLFileInfoButton, PlayListEditorForm_PLSortListButton,
        PlayListEditorForm_PLLoadListButton, PlayListEditorForm_PLSaveListButton, PlayListEditorForm_PLNewListButton,
        VisualsScreenForm_VisExMainMenuButton, VisualsScreenForm_VisExCloseWindowButton,
        CDDatabaseForm_DBCloseWindowButton, CDDatabaseForm_DBScrollImage, CDDatabaseForm_DBMenu1Buttons,
        CDDatabaseForm_DBMenu2Buttons, CDDatabaseForm_DBMenu3Buttons, CDDatabaseForm_DBMenu4Buttons,
        CDDatabaseForm_DBMenu5Buttons, FullScreenForm_FSBackwardButton, FullScreenForm_FSPlayButton,
        FullScreenForm_FSPauseButton, FullScreenForm_FSStopButton, FullScreenForm_FSForwardButton,
        FullScreenForm_FSPosBarImage};
    for (int band = 0; band < 10; ++band) s.insert(EqualizerBandTrack(band));
    for (int k = 0; k < 5; ++k) s.insert(static_cast<KELDARSkinControls_IDs>(PlayListEditorForm_PLMenu1Buttons + k));
    return s;
  }();
  return table;
}

bool IsSliderImage(KELDARSkinControls_IDs id) { return MultimediaSkin()[id].Control_Type == KELDARSkinSliderControl; }
bool InPlaylistPanel(KELDARSkinControls_IDs id) {
  const int parent = MultimediaSkin()[id].Control_ParentControl;
  return parent >= PlayListEditorForm_PLPanel1 && parent <= PlayListEditorForm_PLPanel5;
}

// Closes the modal dialogs and menus an action runs (their own event loops), noting each.
class TModalCloser {
 public:
  TModalCloser() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      if (QWidget* popup = QApplication::activePopupWidget()) {
        Closed.push_back(popup->metaObject()->className());
        popup->close();
      }
      if (QWidget* modal = QApplication::activeModalWidget()) {
        Closed.push_back(modal->metaObject()->className());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        else modal->close();
      }
    });
    m_timer.start(20);
  }
  std::vector<std::string> Closed;

 private:
  QTimer m_timer;
};

TEST_F(ActionWalk, EveryEnabledControlOfTheDefaultSkinRunsItsActionAndChangesWhatItStandsFor) {
  TSkinnedWindowSet& windows = *forms_.SkinnedWindows();
  ASSERT_EQ(LoadKELDARSkin("Default", windows, true), "Default");
  BindSkinControlActions(windows);
  StartupFlags().FirstShowPending = false;

  // Songs to play and lines to select, scroll and remove: one short tone listed 40 times.
  const std::string tone = folder_ / "tone.wav";
  ASSERT_EQ(std::system(("sox -q -n -r 8000 -c 1 '" + tone + "' synth 30 sine 440").c_str()), 0);
  TPlaylistEditorForm& playlistWindow = *forms_.Playlist();
  const auto refill = [&] {
    if (ThePlaylist().Count() >= 40) return;
    ThePlaylist().Clear();
    for (int i = 0; i < 40; ++i) {
      TPlayListBoxItem item;
      item.FullPathAndFilename = tone;
      item.TitleName = "Tone " + std::to_string(i);
      ThePlaylist().Add(item);
    }
    ThePlaylist().SetCurrentIndex(5);
    playlistWindow.LinesChanged();
  };
  refill();

  // What the program asks the user and what it hands on, counted where nothing else shows it.
  int fileDialogs = 0, closes = 0, libraryScrolls = 0, libraryViews = 0;
  playlistWindow.Dialogs().RunFileDialog = [&](const TPlaylistFileDialogRequest&) {
    ++fileDialogs;
    return TPlaylistFileDialogAnswer{};
  };
  playlistWindow.Dialogs().RunFolderDialog = [&](const std::string&, const std::string&) {
    ++fileDialogs;
    return std::string();
  };
  // The exit sequence would end the walk: the deck's close runs this instead.
  CommandActions().CloseMainWindow = [&] { ++closes; };
  const auto scroll = LaterDialogHooks().ScrollLibraryGrid;
  LaterDialogHooks().ScrollLibraryGrid = [&, scroll](int value) {
    ++libraryScrolls;
    scroll(value);
  };
  const auto view = LaterDialogHooks().ViewSelectedLibraryEntry;
  LaterDialogHooks().ViewSelectedLibraryEntry = [&, view] {
    ++libraryViews;
    view();
  };
  TModalCloser closer;
  const std::string settingsFile = SettingsFilePath();

  // Everything a click may change, as text: windows and their states, what was asked, the
  // settings, toggles and effect modes, the playlist, the engine. The clicked control's own
  // mouse state is left out: the click changes it whatever the action does.
  const auto fingerprint = [&](KELDARSkinControls_IDs clicked) {
    QCoreApplication::processEvents();
    // The seek a position bar asked for, before the position read puts its own value there.
    const std::int64_t seek = KELDAR_AUDIOVIDEO_API_State().SeekPercent;
    if (KELDAR_AUDIOVIDEO_API_Slots().UpdatePosition) KELDAR_AUDIOVIDEO_API_Slots().UpdatePosition();
    std::ostringstream o;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible())
        o << w->metaObject()->className() << '/' << w->objectName().toStdString() << '/' << int(w->windowState()) << ' ';
    o << "|preferences " << forms_.Preferences()->CurrentPageCaption();
    o << "|asked " << fileDialogs << ' ' << closes << ' ' << libraryScrolls << ' ' << libraryViews << ' '
      << closer.Closed.size() << ' ' << ReadMessageLog(folder_ / "messages.log").size();
    SaveSettings();
    o << "|settings " << ReadTextFile(settingsFile);
    for (int i = 0; i < ZorvaneAudioPlayerControls_END; ++i)
      if (i != clicked) o << int(MultimediaSkin()[static_cast<KELDARSkinControls_IDs>(i)].Control_CLICKEDMouseState);
    o << "|effects " << KELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas) << ' '
      << KELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas) << ' ' << int(SkinRuntimeState().CurrentPanel);
    const TPlaylist& list = ThePlaylist();
    o << "|playlist " << list.Count() << ' ' << list.CurrentIndex() << ' ' << playlistWindow.PlayListBox()->TopIndex();
    for (int i = 0; i < list.Count(); ++i) o << (list.Selected(i) ? '+' : '-');
    const auto& e = KELDAR_AUDIOVIDEO_API_State();
    o << "|engine " << e.PlayerState << ' ' << seek << ' ' << e.PositionSeconds << ' ' << e.Sliders.Volume << ' ' << e.Sliders.Balance
      << ' ' << e.Sliders.Pitch << ' ' << e.Sliders.Tempo << ' ' << e.Sliders.SampleRate << ' ' << e.Sliders.PreAmp;
    for (int b : e.Sliders.Bands) o << ' ' << b;
    o << ' ' << e.Effects.EQ << e.Effects.AutoAmplify;
    return o.str();
  };
  // After each click: the dialogs, menus and previews it opened go again, the deck is restored
  // and nothing plays (a playing song's position would change by itself).
  const auto tidy = [&] {
    CommandStop();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && !qobject_cast<TSkinUnitTemplateForm*>(w)) w->close();
    if (forms_.Deck()->isMinimized()) forms_.Deck()->showNormal();
    QCoreApplication::processEvents();
  };
  const auto showThrough = [&](KELDARSkinControls_IDs button, TKELDARSkinnedWindow window) {
    if (!windows.Window(window)->isVisible()) FlipSkinButtonAndRunAction(button);
  };
  // What must hold before a click, so that the click has something to change.
  const std::map<KELDARSkinControls_IDs, std::function<void()>> before = {
      {DeckForm_PlayButton, [] { CommandStop(); }},
      {FullScreenForm_FSPlayButton, [] { CommandStop(); }},
      {DeckForm_PauseButton, [] { CommandPlay(); }},
      {FullScreenForm_FSPauseButton, [] { CommandPlay(); }},
      {DeckForm_StopButton, [] { CommandPlay(); }},
      {FullScreenForm_FSStopButton, [] { CommandPlay(); }},
      // Paused, so the position moves only by the seek; the seek's percent is the action's.
      {DeckForm_PosBarImage, [] { CommandPlay(); CommandPause(); KELDAR_AUDIOVIDEO_API_State().SeekPercent = -1; }},
      {FullScreenForm_FSPosBarImage,
       [] { CommandPlay(); CommandPause(); KELDAR_AUDIOVIDEO_API_State().SeekPercent = -1; }},
      // The click flips the canvas; its action makes the other one follow.
      {EqualizerForm_EQLeftVolLevelCanvas,
       [] { SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, GetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas)); }},
      {EqualizerForm_EQRightVolLevelCanvas,
       [] { SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, GetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas)); }},
      {EqualizerForm_EQCloseWindowButton, [&] { showThrough(DeckForm_EQButton, TKELDARSkinnedWindow::Equalizer); }},
      {PlayListEditorForm_PLCloseWindowButton, [&] { showThrough(DeckForm_PLButton, TKELDARSkinnedWindow::Playlist); }},
      {CDDatabaseForm_DBCloseWindowButton, [&] { showThrough(DeckForm_DBButton, TKELDARSkinnedWindow::Library); }},
      {VisualsScreenForm_VisExCloseWindowButton,
       [&] { showThrough(DeckForm_VisExButton, TKELDARSkinnedWindow::Visuals); }},
      {PlayListEditorForm_PLRemSelectedFilesButton, [] { ThePlaylist().SetSelected(3, true); }},
      {PlayListEditorForm_PLCropFilesButton, [] { ThePlaylist().SetSelected(3, true); }},
      {PlayListEditorForm_PLSelectNoneFilesButton, [] { ThePlaylist().SetSelected(3, true); }},
      {PlayListEditorForm_PLListScrollUpButton, [] { ThePlaylist().SetSelected(3, true); }},
      {PlayListEditorForm_PLListScrollDownButton, [] { ThePlaylist().SetSelected(3, true); }},
      {PlayListEditorForm_PLFileInfoButton, [] { ThePlaylist().SetItemIndex(2); }},
  };

  int clicked = 0;
  for (TKELDARSkinnedWindow which : {TKELDARSkinnedWindow::Deck, TKELDARSkinnedWindow::Equalizer,
                                     TKELDARSkinnedWindow::Playlist, TKELDARSkinnedWindow::Visuals,
                                     TKELDARSkinnedWindow::Library, TKELDARSkinnedWindow::FullScreen}) {
    TSkinUnitTemplateForm& window = *windows.Window(which);
    for (int i = 0; i < ZorvaneAudioPlayerControls_END; ++i) {
      const auto id = static_cast<KELDARSkinControls_IDs>(i);
      if (!window.Form_Controls.test(id) || !MultimediaSkin()[id].Control_Enabled) continue;
      SCOPED_TRACE(KELDARSkinControlIdentString(id));
      const bool bound = bool(MultimediaSkin()[id].Control_LeftClickProcedure);
      if (!ControlsWithAnAction().contains(id)) {
        EXPECT_FALSE(bound) << "an action on a control that has none";
        continue;
      }
      if (!bound) {
        ADD_FAILURE() << "a control without its action";
        continue;
      }
      refill();
      window.show();
      if (auto step = before.find(id); step != before.end()) step->second();
      const std::string was = fingerprint(id);
      if (IsSliderImage(id)) window.SetSliderValueByDrag(id, GetSkinControlValue(id) < 50 ? 80 : 20);
      else if (InPlaylistPanel(id)) RunSkinControlAction(id);  // its panel opens only on demand
      else SimulateSkinControlClick(window, id);
      const std::string now = fingerprint(id);
      EXPECT_TRUE(now != was) << "the click changed nothing; before and after:\n"
                          << was.substr(was.find("|playlist")) << "\n" << now.substr(now.find("|playlist"));
      tidy();
      ++clicked;
    }
  }
  EXPECT_GE(clicked, int(ControlsWithAnAction().size()) - 5);
  tidy();
}

}  // namespace

namespace {

TEST_F(ActionWalk, DefaultSlidersCentresEverySliderAndTheEngineFollows) {
  TSkinnedWindowSet& windows = *forms_.SkinnedWindows();
  ASSERT_EQ(LoadKELDARSkin("Default", windows, true), "Default");
  BindSkinControlActions(windows);
  std::vector<KELDARSkinControls_IDs> sliders = {DeckForm_VolumeImage, DeckForm_BalanceImage, DeckForm_PitchImage,
                                                 EqualizerForm_EQTempoImage, EqualizerForm_EQSampleRateImage,
                                                 EqualizerForm_EQPreAmpImage};
  for (int band = 0; band < 10; ++band) sliders.push_back(EqualizerBandTrack(band));
  for (KELDARSkinControls_IDs slider : sliders) {
    SetLoadedSkinSliderValue(slider, 10);
    RunSkinControlAction(slider);
  }
  ASSERT_EQ(KELDAR_AUDIOVIDEO_API_State().Sliders.Volume, 10);
  TPreferencesDialogForm& preferences = *forms_.Preferences();
  preferences.ShowPage("General Options");
  preferences.Page("General Options")->findChild<QPushButton*>("DefaultSlidersButton")->click();
  for (KELDARSkinControls_IDs slider : sliders) EXPECT_EQ(GetSkinControlValue(slider), 50) << KELDARSkinControlIdentString(slider);
  const auto& engine = KELDAR_AUDIOVIDEO_API_State().Sliders;
  EXPECT_EQ(engine.Volume, 50);
  EXPECT_EQ(engine.Balance, 50);
  EXPECT_EQ(engine.Pitch, 50);
  EXPECT_EQ(engine.Tempo, 50);
  EXPECT_EQ(engine.SampleRate, 50);
  EXPECT_EQ(engine.PreAmp, 50);
  for (int b : engine.Bands) EXPECT_EQ(b, 50);
  preferences.hide();
}

}  // namespace
