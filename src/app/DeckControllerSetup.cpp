#include "app/DeckControllerSetup.h"

#include <memory>
#include <string>

#include "app/ApplicationForms.h"
#include "app/CommandActions.h"
#include "app/DeckController.h"
#include "app/DeckMainTimer.h"
#include "app/DeckRightButtonMenu.h"
#include "app/DeckTray.h"
#include "app/DroppedFiles.h"
#include "app/EqualizerForm.h"
#include "app/FullScreenControlsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/LaterDialogHooks.h"
#include "app/NowPlaying.h"
#include "app/PlaylistEditorForm.h"
#include "app/PlaylistWindowActions.h"
#include "app/PopUpMenus.h"
#include "app/StartupHooks.h"
#include "app/VisualsScreenForm.h"
#include "app/VisualsScreenPlugins.h"
#include "app/VisualsScreenVideo.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinLoader.h"

namespace {

std::unique_ptr<TDeckTray>& Tray() {
  static std::unique_ptr<TDeckTray> tray;
  return tray;
}

// The commands the deck offers besides the transport: adding files, the dialogs built
// separately, restoring and closing.
void InstallDeckCommandActions(TDeckForm* deck) {
  TCommandActions& actions = CommandActions();
  actions.AddFiles = PlaylistWindowAddFiles;
  actions.ShowRecordingDialog = [] {
    RunLaterDialogHook(LaterDialogHooks().ShowRecordingDialog);
  };
  actions.ShowPreferencesPage = [](const std::string& page) {
    if (LaterDialogHooks().ShowPreferencesPage) LaterDialogHooks().ShowPreferencesPage(page);
  };
  actions.SelectPreferencesPage = [](const std::string& page) {
    if (LaterDialogHooks().SelectPreferencesPage) LaterDialogHooks().SelectPreferencesPage(page);
  };
  actions.ShowMainForm = [] { Tray()->ShowMainForm(); };
  actions.CloseMainWindow = [deck] { deck->close(); };
}

}  // namespace

TNowPlayingValues DeckNowPlayingValues() {
  TNowPlayingValues values = GatherNowPlayingValues();
  const TDeckControllerState& deck = DeckControllerState();
  if (!deck.CurrentItem.FullPathAndFilename.empty()) {
    values.TitleName = deck.CurrentItem.TitleName;
    values.ArtistName = deck.CurrentItem.ArtistName;
    values.AlbumName = deck.CurrentItem.AlbumName;
  }
  const KELDAR_AUDIOVIDEO_API_EngineState& engine = KELDAR_AUDIOVIDEO_API_State();
  values.OutputChannelsText = std::to_string(engine.ChannelInfo.Channels);
  if (engine.ChannelInfo.SamplingRate > 0) values.SampleRateText = std::to_string(engine.ChannelInfo.SamplingRate);
  const TKELDARSkinTextSettings& colours = LoadedKELDARSkin().PlaylistText;
  values.BackgroundColor = static_cast<int32_t>(colours.NormalBG);
  values.CurrentColor = static_cast<int32_t>(colours.Current);
  values.TextColor = static_cast<int32_t>(colours.Normal);
  return values;
}

void InstallDeckController(TApplicationForms& forms) {
  TDeckForm* deck = forms.Deck();
  TPlaylistEditorForm* playlist = forms.Playlist();
  TEqualizerForm* equalizer = forms.Equalizer();
  TVisualsScreenForm* visuals = forms.Visuals();
  TFullScreenControlsForm* fullScreen = forms.FullScreen();

  TDeckControllerWindows& windows = DeckControllerWindows();
  windows.RepaintPlaylist = [playlist] {
    if (StartupHooks().RepaintPlaylist) {
      StartupHooks().RepaintPlaylist();
    } else if (playlist) {
      playlist->update();
      if (playlist->PlayListScrollBox()) playlist->PlayListScrollBox()->update();
    }
  };
  windows.SetApplicationTitle = [deck](const std::string& title) { deck->setWindowTitle(QString::fromStdString(title)); };
  windows.RepaintDeck = [deck] { deck->RepaintChanged(); };
  windows.FullScreenControlsVisible = [fullScreen] { return fullScreen && fullScreen->isVisible(); };
  windows.RepaintFullScreenControls = [fullScreen] {
    if (fullScreen) fullScreen->RepaintChanged();
  };
  windows.VisualsWindowVisible = [visuals] { return visuals && visuals->isVisible(); };
  windows.SwitchVisualsWindowToVideo = SwitchVisualsScreenToVideo;
  if (visuals) InstallVisualsScreenVideo(*visuals, fullScreen);
  windows.PressGraphicsCanvas = [deck, equalizer](KELDARSkinControls_IDs canvas) {
    QWidget* window = canvas == EqualizerForm_EQGraphicsEffectsCanvas ? static_cast<QWidget*>(equalizer)
                                                                       : static_cast<QWidget*>(deck);
    if (window) SimulateSkinControlClick(*window, canvas);
  };
  windows.PublishNowPlaying = [] { PublishNowPlaying(DeckNowPlayingValues()); };

  InstallDeckTransportActions();
  StartupHooks().MainTimerTick = DeckMainTimerTick;

  Tray() = std::make_unique<TDeckTray>(*deck);
  Tray()->SetCompanionWindows({equalizer, playlist, visuals, forms.Library()});
  InstallDeckCommandActions(deck);

  OpenPopUpMenuOnRightPress(*deck, ShowMainPopUpMenu);
  AcceptDroppedFilesOn(*deck);
  if (playlist && playlist->PlayListScrollBox()) AcceptDroppedFilesOn(*playlist->PlayListScrollBox(), playlist);
}

void ClearDeckController() {
  DeckControllerWindows() = {};
  StartupHooks().MainTimerTick = nullptr;
  CommandActions() = {};
  Tray().reset();
}
