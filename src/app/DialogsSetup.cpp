#include "app/DialogsSetup.h"

#include "app/ApplicationForms.h"
#include "app/CommandActions.h"
#include "app/DeckController.h"
#include "app/LaterDialogHooks.h"
#include "app/PlaylistEditorForm.h"
#include "app/PlaylistWindowHooks.h"
#include "app/ProgramStartup.h"
#include "app/StartupHooks.h"
#include "dialogs/OpenURLDialog.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/PreferencesHooks.h"
#include "dialogs/SystemInfoForm.h"
#include "dialogs/TAGDialog.h"
#include "playlist/InputPluginServices.h"
#include "playlist/PlaylistEditor.h"
#include "plugins/SoniqueVisPluginPreferences.h"
#include "plugins/zpdsp_plugins_Loader_API.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/SkinMaskSliders.h"
#include "skin/SkinUnitTemplate.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ShellFunctions.h"

namespace {

template <typename Hook, typename Step>
void Chain(Hook& hook, Step step) {
  Hook before = hook;
  hook = [before, step] {
    if (before) before();
    step();
  };
}

void RefreshPlaylistWindow() {
  if (TPlaylistEditorForm* form = PlaylistEditorForm()) form->LinesChanged();
}

// Every slider that "Default Sliders" centres, each applied as if the user had moved it.
constexpr KELDARSkinControls_IDs kCentredSliders[] = {
    DeckForm_VolumeImage,           DeckForm_BalanceImage,       DeckForm_PitchImage,
    EqualizerForm_EQTempoImage,     EqualizerForm_EQSampleRateImage, EqualizerForm_EQPreAmpImage};

void CentreAllSliders() {
  for (KELDARSkinControls_IDs slider : kCentredSliders) {
    SetLoadedSkinSliderValue(slider, 50);
    RunSkinControlAction(slider);
  }
  for (int band = 0; band < 10; ++band) {
    SetLoadedSkinSliderValue(EqualizerBandTrack(band), 50);
    RunSkinControlAction(EqualizerBandTrack(band));
  }
}

}  // namespace

void InstallDialogs(TApplicationForms& forms) {
  TPreferencesDialogForm* preferences = forms.Preferences();
  TTAGDialogForm* tagEditor = forms.TagEditor();
  TOpenURLDialogForm* openURL = forms.OpenURL();
  TSystemInfoForm* systemInfo = forms.SystemInfo();
  TSkinnedWindowSet* skinned = forms.SkinnedWindows();

  LaterDialogHooks().ShowPreferencesPage = [preferences](const std::string& page) { preferences->ShowPage(page); };
  LaterDialogHooks().SelectPreferencesPage = [preferences](const std::string& page) { preferences->SelectPage(page); };
  LaterDialogHooks().ChooseRecordingOutputFolder = [preferences] {
    preferences->ShowPage("Encoders Options");
    preferences->Button28Click();
  };
  LaterDialogHooks().ShowAddURLDialog = [openURL] {
    openURL->show();
    openURL->raise();
    openURL->activateWindow();
  };
  openURL->AddURLToPlayList = [](const std::string& url) {
    AddURLToPlayList(ThePlaylist(), url);
    RefreshPlaylistWindow();
  };
  StartupHooks().HideOpenURLDialog = [openURL] { openURL->hide(); };

  PlaylistWindowHooks().ShowTagEditor = [tagEditor](TPlayListBoxItem& item, const std::string& file,
                                                     const std::string& sourceLocation) {
    TPlaylist& playlist = ThePlaylist();
    bool listed = false;
    for (int i = 0; i < playlist.Count() && !listed; ++i) listed = &playlist.Item(i) == &item;
    tagEditor->ShowForItem(&item, file, sourceLocation, listed ? &playlist : nullptr);
    RefreshPlaylistWindow();
  };
  PlaylistWindowHooks().AddSelectedURLsToFavourites = [openURL](TPlaylist& playlist) {
    LaterDialogHooks().ShowAddURLDialog();
    for (int i = 0; i < playlist.Count(); ++i) {
      const TPlayListBoxItem& item = playlist.Item(i);
      if (playlist.Selected(i) && IsURL(item.FullPathAndFilename))
        openURL->AppendFavourite(item.FullPathAndFilename, item.ArtistName);
    }
  };

  TPreferencesHooks& hooks = PreferencesHooks();
  hooks.ApplyStayOnTop = [skinned](bool onTop) {
    if (!skinned) return;
    for (TKELDARSkinnedWindow window :
         {TKELDARSkinnedWindow::Deck, TKELDARSkinnedWindow::Equalizer, TKELDARSkinnedWindow::Playlist,
          TKELDARSkinnedWindow::Visuals, TKELDARSkinnedWindow::Library, TKELDARSkinnedWindow::FullScreen})
      if (TSkinUnitTemplateForm* form = skinned->Window(window)) form->SetStayOnTopState(onTop ? 1 : 0);
  };
  hooks.ResetApplicationTitle = [] {
    DeckControllerState().ApplicationTitle = ApplicationTitleText();
    if (DeckControllerWindows().SetApplicationTitle) DeckControllerWindows().SetApplicationTitle(ApplicationTitleText());
  };
  hooks.DefaultSliders = CentreAllSliders;
  hooks.LoadSkin = [](const std::string& path) { return StartupHooks().LoadSkin && StartupHooks().LoadSkin(path); };
  hooks.ExtractPackage = [](const std::string& package, const std::string& folder) {
    return ExtractFromArchive(package, "*.*", folder);
  };
  hooks.ShowSystemInformation = [systemInfo] { systemInfo->exec(); };
  hooks.OpenFolder = [](const std::string& folder) { ShellOpenDocument(folder); };

  DSPPluginHostHooks().PreferencesVisible = [preferences] { return preferences->isVisible(); };
  VisPluginsPageHooks().PreferencesVisible = [preferences] { return preferences->isVisible(); };
  VisPluginsPageHooks().ShowPreferencesOnVisPluginsPage = [preferences] { preferences->ShowPage("VIS Plugins"); };
  Chain(StartupHooks().MainTimerTick, [preferences] { preferences->MainTimerTick(); });
}

void ClearDialogs() {
  LaterDialogHooks().ShowPreferencesPage = nullptr;
  LaterDialogHooks().SelectPreferencesPage = nullptr;
  LaterDialogHooks().ChooseRecordingOutputFolder = nullptr;
  LaterDialogHooks().ShowAddURLDialog = nullptr;
  StartupHooks().HideOpenURLDialog = nullptr;
  PlaylistWindowHooks().ShowTagEditor = nullptr;
  PlaylistWindowHooks().AddSelectedURLsToFavourites = nullptr;
  PreferencesHooks() = {};
  VisPluginsPageHooks().PreferencesVisible = nullptr;
  VisPluginsPageHooks().ShowPreferencesOnVisPluginsPage = nullptr;
}
