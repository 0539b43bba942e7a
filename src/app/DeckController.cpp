#include "app/DeckController.h"

#include <cstdlib>
#include <filesystem>

#include "app/CommandActions.h"
#include "app/SliderHints.h"
#include "playlist/AdvancedPlaylist.h"
#include "playlist/PlaylistEditor.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinLamps.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/KELDARSkinTextEffects.h"
#include "skin/KELDARSkinTextFormats.h"
#include "skin/SkinMaskSliders.h"
#include "skin/Form_ControlsList.h"
#include "skin/SkinRuntimeState.h"
#include "util/ProgramFolders.h"
#include "util/VersionInfo.h"

namespace {

KELDAR_AUDIOVIDEO_API_Operations& Ops() { return KELDAR_AUDIOVIDEO_API_Slots(); }
KELDAR_AUDIOVIDEO_API_EngineState& Engine() { return KELDAR_AUDIOVIDEO_API_State(); }

void Call(const std::function<void()>& operation) {
  if (operation) operation();
}

void ShowStatus(const char* text, int stateImage) {
  SetSkinControlText(DeckForm_PlayerStatusWindow, text);
  SetKELDARSkinPlayerStateImage(stateImage);
}

// Leaving a pause: the time comes back if the blank phase shows, and the phase starts over.
void RestoreTimeAndClearPause() {
  RestoreKELDARSkinBlinkedTime();
  KELDARSkinDisplayState().BlinkBlankShown = false;
  DeckControllerState().Paused = false;
}

// Only the effects the user has switched on are touched; the others stay detached.
void SwitchActiveEffects(bool on) {
  KELDAR_AUDIOVIDEO_API_EffectSwitches& effects = Engine().Effects;
  if (Options_EQOnButtonState.BooleanValue) {
    effects.EQ = on;
    Call(Ops().ApplyEQState);
    if (on) ApplyEqualizerSlidersToEngine();
  }
  if (Options_FadeIn_Out_Msecs.IntegerValue > 0) {
    effects.Fade = on;
    Call(Ops().ApplyFadeState);
  }
  if (Options_EQAutoButtonState.BooleanValue) {
    effects.AutoAmplify = on;
    Call(Ops().ApplyAutoAmplifyState);
  }
  if (Options_LastZPDSPState.BooleanValue) {
    effects.DSP = on;
    Call(Ops().ApplyDSPState);
  }
}

void DeleteExtractedCopyOfPlayingFile() {
  const std::string& playing = Engine().CurrentFileName;
  const std::string folder = ProgramFolder() + "/tempunzipped/";
  if (playing.size() > folder.size() && playing.compare(0, folder.size(), folder) == 0) {
    std::error_code ec;
    std::filesystem::remove(playing, ec);
  }
}

void ApplyAdvancedPlaylistSliders() {
  TAdvancedPlaylistSliderValues values{};
  if (!AdvancedPlaylist_SetALLValuesToPlayerFromCurrentPlayListBoxItem(ThePlaylist(), values)) return;
  SetLoadedSkinSliderValue(DeckForm_PitchImage, values[0]);
  SetSkinSliderValue(EqualizerForm_EQTempoImage, values[1]);
  SetSkinSliderValue(EqualizerForm_EQSampleRateImage, values[2]);
  SetSkinSliderValue(EqualizerForm_EQPreAmpImage, values[3]);
  for (int band = 0; band < 10; ++band)
    SetSkinSliderValue(EqualizerBandTrack(band), values[static_cast<size_t>(4 + band)]);
}

// A video entry needs the visuals window; the effect canvas that counts decides how.
void SwitchVisualsForMediaType(KELDAR_AUDIOVIDEO_API_MediaFileType type, KELDAR_AUDIOVIDEO_API_MediaFileType previous) {
  TDeckControllerWindows& windows = DeckControllerWindows();
  const bool equalizerCanvas = MultimediaSkin()[EqualizerForm_EQGraphicsEffectsCanvas].Control_Enabled;
  SettingsVariableIntegerRecord& mode =
      equalizerCanvas ? Options_EQCurrentVisualEffect : Options_DeckCurrentVisualEffect;
  const bool video = type == KELDAR_AUDIOVIDEO_API_mtVIDEOStream;
  if (mode.IntegerValue == 7) {
    if (video) {
      if (windows.SwitchVisualsWindowToVideo) windows.SwitchVisualsWindowToVideo(true);
    } else if (previous == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) {
      if (windows.SwitchVisualsWindowToVideo) windows.SwitchVisualsWindowToVideo(false);
    }
    return;
  }
  const bool visualsShown = windows.VisualsWindowVisible && windows.VisualsWindowVisible();
  if (video && !visualsShown) {
    // The press moves the canvas on from 6 to 7, which brings up the visuals window.
    mode.IntegerValue = 6;
    if (windows.PressGraphicsCanvas)
      windows.PressGraphicsCanvas(equalizerCanvas ? EqualizerForm_EQGraphicsEffectsCanvas
                                                  : DeckForm_GraphicsEffectsCanvas);
  }
}

void ApplyFileTypeLamps(KELDAR_AUDIOVIDEO_API_MediaFileType type) {
  SetKELDARSkinFileTypeLampAnimation(false);
  if (type == KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE) {
    SetKELDARSkinFileTypeLampAnimation(true);
    return;
  }
  const int code = DeckFileTypeLampCode(type);
  if (code >= 0) SetKELDARSkinFileTypeLampCode(code);
}

void ApplySlidersAndPlay() {
  KELDAR_AUDIOVIDEO_API_SliderValues& sliders = Engine().Sliders;
  sliders.Volume = GetSkinControlValue(DeckForm_VolumeImage);
  sliders.Balance = GetSkinControlValue(DeckForm_BalanceImage);
  sliders.Pitch = GetSkinControlValue(DeckForm_PitchImage);
  sliders.Tempo = GetSkinControlValue(EqualizerForm_EQTempoImage);
  sliders.SampleRate = GetSkinControlValue(EqualizerForm_EQSampleRateImage);
  Call(Ops().SetVolume);
  Call(Ops().SetBalance);
  Call(Ops().SetPitch);
  Call(Ops().SetTempo);
  Call(Ops().SetSampleRate);
  ShowEngineSliderHints();
  Call(Ops().Play);
}

int RandomIndex(int n) { return std::rand() % n; }

// `chained`: the call that skips an entry which could not be opened.
void PlayPlayListSongStep(KELDAR_AUDIOVIDEO_API_PlayingOption option, bool chained) {
  TDeckControllerState& deck = DeckControllerState();
  TDeckControllerWindows& windows = DeckControllerWindows();
  TPlaylist& playlist = ThePlaylist();
  // 1. Errors shown or skipped, as the user chose.
  Engine().ShowErrors = Options_PlaylistHaltOnDefectiveFile.BooleanValue;

  // 2. The index.
  bool endOfList = false;
  const int index = ChooseDeckPlaylistIndex(option, playlist.Count(), playlist.CurrentIndex(), playlist.FirstSelected(),
                                            Options_ShuffleButtonState.BooleanValue,
                                            Options_RepeatButtonState.BooleanValue, RandomIndex, endOfList);
  // A skip that starts at the end of the list keeps the list's end: the entry it lands on
  // waits loaded like the first one would.
  deck.EndOfList = endOfList || (chained && deck.EndOfList);
  playlist.SetCurrentIndex(index);
  if (index < 0) return;

  // 3.-4. What played before goes.
  Call(windows.RepaintPlaylist);
  const bool resumePaused = option == KELDAR_AUDIOVIDEO_API_ofPlayPausedCurrentSong;
  if (!resumePaused) {
    Call(Ops().Resume);
    Call(Ops().Stop);
    SwitchActiveEffects(false);
    Call(Ops().FreeStreams);
    DeleteExtractedCopyOfPlayingFile();
  }
  // 5.-6.
  if (playlist.Empty()) return;
  if (resumePaused) {
    if (!deck.EndOfList) Call(Ops().Resume);
    return;
  }

  // 7.-8. The file the engine opens and its markers.
  playlist.SetItemIndex(index);
  const TPlayListBoxItem& item = playlist.Item(index);
  const KELDAR_AUDIOVIDEO_API_MediaFileType type =
      Ops().GetMediaFileType ? Ops().GetMediaFileType(item.FullPathAndFilename) : KELDAR_AUDIOVIDEO_API_mtStream;
  if (type == KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES) {
    Engine().CurrentFileName = ExtractArchiveEntryForPlaying(item.FullPathAndFilename);
  } else {
    Engine().CurrentFileName = item.FullPathAndFilename;
  }
  deck.CurrentItem = item;
  Engine().StartMarker = item.PlaybackStartPos;
  Engine().EndMarker = item.PlaybackEndpos;

  // 9.-11. Texts of the deck and the window title.
  const TKELDARSkinFamilySettings& family = LoadedKELDARSkin().Family;
  SetSkinControlText(DeckForm_SongArtistWindow, FormatKELDARSkinDeckEntry(family.ArtistFormat, item, index + 1));
  SetSkinControlText(DeckForm_SongTitleWindow, FormatKELDARSkinDeckEntry(family.TitleFormat, item, index + 1));
  deck.ApplicationTitle = DeckPlayingTitle(item);
  if (windows.SetApplicationTitle) windows.SetApplicationTitle(deck.ApplicationTitle);
  RestartKELDARSkinTextEffect(DeckForm_SongArtistWindow);
  RestartKELDARSkinTextEffect(DeckForm_SongTitleWindow);
  // A skip keeps what played before the entry that failed.
  if (!chained) deck.PreviousMediaType = Engine().CurrentMediaType;

  // 12. The entry's own slider positions.
  ApplyAdvancedPlaylistSliders();

  // 13. Open it; an entry that cannot be opened (errors not shown) hands over to the next.
  SwitchActiveEffects(false);
  const bool opened = Ops().CreateStream ? Ops().CreateStream() : false;
  if (!opened) {
    if (++deck.SkippedInARow < playlist.Count()) PlayPlayListSongStep(KELDAR_AUDIOVIDEO_API_ofPlayNextSong, true);
  } else {
    SwitchActiveEffects(true);
  }

  // 14.-16.
  const KELDAR_AUDIOVIDEO_API_MediaFileType opened_type = Engine().CurrentMediaType;
  SwitchVisualsForMediaType(opened_type, deck.PreviousMediaType);
  ApplyFileTypeLamps(opened_type);
  SetLoadedSkinSliderValue(DeckForm_PosBarImage, 0);
  DeckPositionBarSeek();
  SetLoadedSkinSliderValue(FullScreenForm_FSPosBarImage, 0);
  Call(Ops().Stop);

  // 17. Past the end of the list with repeat off the first entry waits, loaded.
  if (!deck.EndOfList) ApplySlidersAndPlay();
}

}  // namespace

TDeckControllerWindows& DeckControllerWindows() {
  static TDeckControllerWindows windows;
  return windows;
}

TDeckControllerState& DeckControllerState() {
  static TDeckControllerState state;
  return state;
}

void ResetDeckControllerState() { DeckControllerState() = {}; }

int ChooseDeckPlaylistIndex(KELDAR_AUDIOVIDEO_API_PlayingOption option, int n, int i, int firstSelected, bool shuffle,
                            bool repeat, const std::function<int(int)>& random, bool& endOfList) {
  endOfList = false;
  // An empty list still gets an index by the rules below (Next lands on 0): the caller then
  // stops and frees what played before it finds nothing to open.
  // With fewer than two entries no other index exists to draw: 0 it is.
  const auto shuffled = [&] {
    if (n <= 1) return 0;
    int drawn;
    do {
      drawn = random(n);
    } while (drawn == i);
    return drawn;
  };
  int index = -1;
  switch (option) {
    case KELDAR_AUDIOVIDEO_API_ofPlayPreviousSong:
      index = shuffle ? shuffled() : i - 1;
      if (index < 0) index = n - 1;
      break;
    case KELDAR_AUDIOVIDEO_API_ofPlayCurrentSong:
      index = firstSelected;
      if (index < 0 && n > 0) index = 0;
      if (index > n - 1) index = 0;
      break;
    case KELDAR_AUDIOVIDEO_API_ofPlayPausedCurrentSong:
      index = i;
      if (index > n - 1) index = 0;
      break;
    case KELDAR_AUDIOVIDEO_API_ofPlayNextSong:
      index = shuffle ? shuffled() : i + 1;
      if (index > n - 1) {
        index = 0;
        if (!repeat) endOfList = true;
      }
      break;
    case KELDAR_AUDIOVIDEO_API_ofPlayPLClickedSong:
      index = firstSelected;
      break;
  }
  return index;
}

std::string DeckPlayingTitle(const TPlayListBoxItem& item) {
  return std::string("Zorvane Audio Player v") + KELDAR_PRODUCT_VERSION + " (" + item.TitleName + " - " +
         item.ArtistName + ")     ";
}

int DeckFileTypeLampCode(KELDAR_AUDIOVIDEO_API_MediaFileType type) {
  switch (type) {
    case KELDAR_AUDIOVIDEO_API_mtStream: return 10;
    case KELDAR_AUDIOVIDEO_API_mtShoutcastStream: return 14;
    case KELDAR_AUDIOVIDEO_API_mtMOD: return 11;
    case KELDAR_AUDIOVIDEO_API_mtCDTrack:
    case KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack: return 12;
    case KELDAR_AUDIOVIDEO_API_mtVIDEOStream: return 13;
    default: return -1;
  }
}

void PlayPlayListSong(KELDAR_AUDIOVIDEO_API_PlayingOption option) {
  DeckControllerState().SkippedInARow = 0;
  PlayPlayListSongStep(option, false);
}

void CheckIfPlayingWasStartedCorrectly() {
  if (Engine().CurrentMediaType == KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE) {
    DeckStop();
    return;
  }
  // The first entry waiting after the end of the list, or an empty list after a stop: the
  // deck must not claim that something plays.
  if (DeckControllerState().EndOfList || Engine().PlayerState != KELDAR_AUDIOVIDEO_API_psPlaying) {
    ShowStatus("Stopped", 2);
  } else {
    ShowStatus("Playing", 0);
  }
  RestoreTimeAndClearPause();
}

void DeckPrevious() {
  RestoreTimeAndClearPause();
  PlayPlayListSong(KELDAR_AUDIOVIDEO_API_ofPlayPreviousSong);
  CheckIfPlayingWasStartedCorrectly();
}

void DeckPlay() {
  ShowStatus("Playing", 0);
  RestoreTimeAndClearPause();
  PlayPlayListSong(Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psPaused ? KELDAR_AUDIOVIDEO_API_ofPlayPausedCurrentSong
                                                                          : KELDAR_AUDIOVIDEO_API_ofPlayCurrentSong);
  CheckIfPlayingWasStartedCorrectly();
}

void DeckPause() {
  TDeckControllerState& deck = DeckControllerState();
  if (deck.Paused) {
    PlayPlayListSong(KELDAR_AUDIOVIDEO_API_ofPlayPausedCurrentSong);
    CheckIfPlayingWasStartedCorrectly();
    return;
  }
  Call(Ops().Pause);
  ShowStatus("Paused", 1);
  deck.Paused = true;
  KELDARSkinDisplayState().BlinkBlankShown = false;
}

void DeckStop() {
  ShowStatus("Stopped", 2);
  RestoreTimeAndClearPause();
  Call(Ops().Stop);
  SetKELDARSkinFileTypeLampAnimation(true);
}

void DeckNext() {
  RestoreTimeAndClearPause();
  PlayPlayListSong(KELDAR_AUDIOVIDEO_API_ofPlayNextSong);
  CheckIfPlayingWasStartedCorrectly();
}

void DeckPositionBarSeek() { SeekToPositionTrack(DeckForm_PosBarImage); }

void SeekToPositionTrack(KELDARSkinControls_IDs track) {
  KELDAR_AUDIOVIDEO_API_EngineState& engine = Engine();
  engine.SeekPercent = engine.PlayerState == KELDAR_AUDIOVIDEO_API_psStopped ? 0 : GetSkinControlValue(track);
  Call(Ops().SeekToPercent);
  if (engine.PlayerState == KELDAR_AUDIOVIDEO_API_psPaused) Call(Ops().Pause);
  SkinRuntimeState().PositionDragFlag = false;
}

KELDARSkinControls_IDs EqualizerBandTrack(int band) {
  return static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * band);
}

void ApplyEqualizerSlidersToEngine() {
  KELDAR_AUDIOVIDEO_API_SliderValues& sliders = Engine().Sliders;
  sliders.PreAmp = GetSkinControlValue(EqualizerForm_EQPreAmpImage);
  for (int band = 0; band < 10; ++band)
    sliders.Bands[static_cast<size_t>(band)] = GetSkinControlValue(EqualizerBandTrack(band));
  Call(Ops().UpdateEQ);
  ShowEngineSliderHints();
}


void InstallDeckTransportActions() {
  TCommandActions& actions = CommandActions();
  actions.Previous = DeckPrevious;
  actions.Play = DeckPlay;
  actions.Pause = DeckPause;
  actions.Stop = DeckStop;
  actions.Next = DeckNext;
  actions.EnginePlayerState = [] { return Engine().PlayerState; };
}
