#include "app/DeckMainTimer.h"

#include <charconv>
#include <cmath>

#include "app/DeckController.h"
#include "app/ProgramStartup.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/SkinMaskSliders.h"
#include "skin/KELDARSkinLamps.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/KELDARSkinTextEffects.h"
#include "skin/SkinRuntimeState.h"
#include "util/TextFunctions.h"

namespace {

KELDAR_AUDIOVIDEO_API_Operations& Ops() { return KELDAR_AUDIOVIDEO_API_Slots(); }
KELDAR_AUDIOVIDEO_API_EngineState& Engine() { return KELDAR_AUDIOVIDEO_API_State(); }

bool Visible(const std::function<bool()>& visible) { return visible && visible(); }

bool IsConvertedSkin(SkinPackageKinds kind) {
  return kind == skWinampFolder || kind == skWinampPackage || kind == skKjofolFolder || kind == skKjofolPackage;
}

void UpdatePositionBars() {
  if (SkinRuntimeState().PositionDragFlag) return;
  Ops().UpdatePosition();
  const int percent = static_cast<int>(Engine().PositionPercent);
  SetLoadedSkinSliderValue(DeckForm_PosBarImage, percent);
  if (Visible(DeckControllerWindows().FullScreenControlsVisible))
    SetLoadedSkinSliderValue(FullScreenForm_FSPosBarImage, percent);
}

void UpdateTimeTexts() {
  const KELDAR_AUDIOVIDEO_API_EngineState& engine = Engine();
  const std::int64_t position =
      SkinRuntimeState().PositionDragFlag
          ? static_cast<std::int64_t>(GetSkinControlValue(DeckForm_PosBarImage)) * engine.TotalSeconds / 100
          : engine.PositionMinutes * 60 + engine.PositionSecondsOfMinute;
  const TKELDARSkinFamilySettings& family = LoadedKELDARSkin().Family;
  const TDeckTimeTexts texts =
      DeckTimeTexts(position, engine.TotalSeconds, Options_ShowTimeMode.IntegerValue,
                    engine.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtShoutcastStream, family.ElapsedPrefix,
                    family.RemainingPrefix);
  SetSkinControlText(DeckForm_SongCurrectPlayingTimeWindow, texts.Current);
  SetSkinControlText(DeckForm_SongTotalTimeWindow, texts.Total);
}

void UpdateChannelAndRateDisplays() {
  const KELDAR_AUDIOVIDEO_API_EngineState& engine = Engine();
  TDeckControllerState& deck = DeckControllerState();
  deck.ChannelLamps = DeckChannelLampState(engine.ChannelInfo.Channels);
  SetKELDARSkinChannelLamps(deck.ChannelLamps);
  SetSkinControlText(DeckForm_KbpsTextWindow, std::to_string(engine.Bitrate));
  SetSkinControlText(DeckForm_KHzTextWindow, std::to_string(engine.ChannelInfo.SamplingRate));
}

void UpdateInternetStreamDisplays() {
  KELDAR_AUDIOVIDEO_API_EngineState& engine = Engine();
  if (engine.CurrentMediaType != KELDAR_AUDIOVIDEO_API_mtShoutcastStream) return;
  if (!engine.StatusText.empty()) {
    SetSkinControlText(DeckForm_SongArtistWindow, engine.StatusText);
    // The connection texts give way once the station has named itself.
    if (!engine.Station.ServerName.empty()) engine.StatusText.clear();
  } else if (engine.Station.ServerDataUpdated) {
    SetSkinControlText(DeckForm_SongArtistWindow, engine.Station.ServerName);
    TPlaylist& playlist = ThePlaylist();
    if (TPlayListBoxItem* item = playlist.ItemPointer(playlist.CurrentIndex())) {
      item->ArtistName = engine.Station.ServerName;
      // The now-playing record reads the deck's copy of the entry: it names the station too.
      TPlayListBoxItem& playing = DeckControllerState().CurrentItem;
      if (playing.FullPathAndFilename == item->FullPathAndFilename) playing.ArtistName = item->ArtistName;
    }
    if (DeckControllerWindows().RepaintPlaylist) DeckControllerWindows().RepaintPlaylist();
    engine.Station.ServerDataUpdated = false;
  }
  const KELDARSkinControls_IDs titleLine =
      IsConvertedSkin(LoadedKELDARSkin().Kind) ? DeckForm_SongArtistWindow : DeckForm_SongTitleWindow;
  SetSkinControlText(titleLine, engine.META.StreamTitle);
}

void UpdateCPUUsage() {
  std::string text = "0.00000";
  try {
    if (Ops().GetCPUUsage) {
      Ops().GetCPUUsage();
      text = DeckCPUUsageText(Engine().CPUUsage);
    }
  } catch (...) {
    // The figure is only shown; a failing query leaves it at zero.
  }
  DeckControllerState().CPUUsageText = text;
  if (DeckControllerWindows().ShowCPUUsage) DeckControllerWindows().ShowCPUUsage(text);
}

void StepTextEffects() {
  // While a slider track is pressed the artist line shows its readout; the line's own text
  // comes back on release.
  if (SkinRuntimeState().SliderDragFlag)
    StepKELDARSkinTextEffect(DeckForm_SongArtistWindow, Options_SongArtistWindowTextEffect.IntegerValue,
                             KELDARSkinDisplayCellCount(DeckForm_SongArtistWindow));
  StepKELDARSkinTextEffect(DeckForm_SongTitleWindow, Options_SongTitleWindowTextEffect.IntegerValue,
                           KELDARSkinDisplayCellCount(DeckForm_SongTitleWindow));
  CopyKELDARSkinDisplayTextsPlain();
}

void ScrollApplicationTitle() {
  if (!Options_ApplicationTitleScrolling.BooleanValue) return;
  TDeckControllerState& deck = DeckControllerState();
  if (deck.ApplicationTitle.empty()) deck.ApplicationTitle = ApplicationTitleText();
  deck.ApplicationTitle = RotateTitleLeft(deck.ApplicationTitle);
  if (DeckControllerWindows().SetApplicationTitle) DeckControllerWindows().SetApplicationTitle(deck.ApplicationTitle);
}

}  // namespace

std::string FormatDeckMinutesSeconds(std::int64_t seconds) {
  if (seconds < 0) return "00:00";
  char text[48];
  char* at = WriteTwoDigitsAtLeast(text, seconds / 60);
  *at++ = ':';
  at = WriteTwoDigitsAtLeast(at, seconds % 60);
  return std::string(text, at);
}

TDeckTimeTexts DeckTimeTexts(std::int64_t position, std::int64_t total, int mode, bool internetStream,
                             const std::string& elapsedPrefix, const std::string& remainingPrefix) {
  const bool remaining = mode == 1 && !internetStream;
  TDeckTimeTexts texts;
  texts.Current = remaining ? remainingPrefix + FormatDeckMinutesSeconds(total - position)
                            : elapsedPrefix + FormatDeckMinutesSeconds(position);
  texts.Total = FormatDeckMinutesSeconds(total);
  return texts;
}

std::string DeckCPUUsageText(double value) {
  if (!std::isfinite(value)) return "0.00000";
  char text[400];  // %.5f of the largest double
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 5).ptr;
  return std::string(text, end);
}

msMonoStereoState DeckChannelLampState(int channels) {
  if (channels <= 0) return msNULLOutput;
  if (channels == 1) return msMonoOutput;
  if (channels == 2) return msStereoOutput;
  return msSurroundOutput;
}

std::string RotateTitleLeft(const std::string& title) {
  if (title.empty()) return title;
  // The length of the first UTF-8 character.
  std::size_t first = 1;
  while (first < title.size() && (static_cast<unsigned char>(title[first]) & 0xC0) == 0x80) ++first;
  return title.substr(first) + title.substr(0, first);
}

void DeckMainTimerTick() {
  KELDAR_AUDIOVIDEO_API_EngineState& engine = Engine();
  TDeckControllerWindows& windows = DeckControllerWindows();
  // 1.-2. End of the song: the next entry starts by itself.
  if (Ops().CheckEndOfStream) Ops().CheckEndOfStream();
  if (engine.SongEnded) {
    engine.SongEnded = 0;
    if (engine.PlayerState == KELDAR_AUDIOVIDEO_API_psEnded) DeckNext();
  }
  // 3.
  if (!LoadedKELDARSkin().Ready) return;
  // 4.-6. Position, times, pause blinking.
  if (Ops().UpdatePosition) UpdatePositionBars();
  if (!DeckControllerState().Paused) UpdateTimeTexts();
  if (DeckControllerState().Paused) StepKELDARSkinTimeBlink();
  // 7.-9. Lamps and the rate, station and title displays.
  StepKELDARSkinFileTypeLamps();
  UpdateChannelAndRateDisplays();
  UpdateInternetStreamDisplays();
  // 10.-12.
  UpdateCPUUsage();
  StepTextEffects();
  if (windows.PublishNowPlaying) windows.PublishNowPlaying();
  // 13.-15.
  ScrollApplicationTitle();
  if (windows.RepaintDeck) windows.RepaintDeck();
  if (Visible(windows.FullScreenControlsVisible) && windows.RepaintFullScreenControls)
    windows.RepaintFullScreenControls();
  if (engine.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream && Visible(windows.VisualsWindowVisible) &&
      windows.ShowSubtitleLines)
    windows.ShowSubtitleLines();
}
