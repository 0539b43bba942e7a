// The walk over everything a user can start: the player's windows and dialogs created and
// connected in the order the program uses, then every action of the action table, every
// entry of the main menu (the right-click menu mirrors it) and every preferences page run,
// each checked to open or do what it stands for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>

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
  EXPECT_TRUE(forms_.Recording()->isVisible());
  forms_.Recording()->hide();
}

}  // namespace
