// The deck controller: the five transport actions, the choice and start of the playlist
// entry to play (PlayPlayListSong) and the seek of the position bar. It drives the engine
// through its operation slots and writes status, lamps and texts into the skin's control
// table; what it needs of the windows goes through TDeckControllerWindows, so it runs the
// same with the real windows and in tests without them. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/TPlayListBoxItem.h"
#include "skin/KELDARSkinControls_IDs.h"
#include "skin/SkinControlStates.h"

// Which entry PlayPlayListSong starts. Fixed numbering.
enum KELDAR_AUDIOVIDEO_API_PlayingOption : std::uint8_t {
  KELDAR_AUDIOVIDEO_API_ofPlayPreviousSong = 0,
  KELDAR_AUDIOVIDEO_API_ofPlayCurrentSong = 1,
  KELDAR_AUDIOVIDEO_API_ofPlayPausedCurrentSong = 2,
  KELDAR_AUDIOVIDEO_API_ofPlayNextSong = 3,
  KELDAR_AUDIOVIDEO_API_ofPlayPLClickedSong = 4,
};

// What the controller asks of the windows. Every entry may be empty; the step is then skipped.
struct TDeckControllerWindows {
  std::function<void()> RepaintPlaylist;
  std::function<void(const std::string& title)> SetApplicationTitle;
  std::function<void()> RepaintDeck;
  std::function<bool()> FullScreenControlsVisible;
  std::function<void()> RepaintFullScreenControls;
  std::function<bool()> VisualsWindowVisible;
  // The visuals window shows video (true) or the visualizations (false).
  std::function<void(bool video)> SwitchVisualsWindowToVideo;
  // A left press and release at one pixel inside an effect canvas (advances its mode).
  std::function<void(KELDARSkinControls_IDs canvas)> PressGraphicsCanvas;
  // The preferences dialog's CPU field.
  std::function<void(const std::string& text)> ShowCPUUsage;
  // The now-playing record for other programs (filled once per main-timer tick).
  std::function<void()> PublishNowPlaying;
  // The two subtitle panels of the visuals window, for video with subtitles shown.
  std::function<void()> ShowSubtitleLines;
};
TDeckControllerWindows& DeckControllerWindows();

// What the deck remembers between actions and ticks.
struct TDeckControllerState {
  bool Paused = false;     // between a pause and the next play, stop, previous or next
  bool EndOfList = false;  // Next ran past the last entry with repeat off
  TPlayListBoxItem CurrentItem;  // copy of the entry being played, taken when it starts
  KELDAR_AUDIOVIDEO_API_MediaFileType PreviousMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  msMonoStereoState ChannelLamps = msNULLOutput;
  std::string ApplicationTitle;
  // Unopenable entries skipped in a row by the current start; the chain ends when every
  // entry was tried once.
  int SkippedInARow = 0;
  // The last CPU figure, for the preferences dialog's field.
  std::string CPUUsageText = "0.00000";
};
TDeckControllerState& DeckControllerState();
// Back to the start values (tests, and a fresh program).
void ResetDeckControllerState();

// ---- transport ----
void DeckPrevious();
void DeckPlay();
void DeckPause();
void DeckStop();
void DeckNext();
// Nothing usable open: Stop; otherwise the deck shows "Playing".
void CheckIfPlayingWasStartedCorrectly();
// The action of DeckForm_PosBarImage: seek to the bar's value (0 while stopped).
void DeckPositionBarSeek();
// The same for any position track; a paused song stays paused.
void SeekToPositionTrack(KELDARSkinControls_IDs track);

// The slider of equalizer band 0..9.
KELDARSkinControls_IDs EqualizerBandTrack(int band);
// The equalizer's pre-amp and band sliders into the engine.
void ApplyEqualizerSlidersToEngine();

// Chooses the entry by shuffle and repeat, stops what plays, opens the entry and starts it.
void PlayPlayListSong(KELDAR_AUDIOVIDEO_API_PlayingOption option);

// The index PlayPlayListSong takes for an option: n entries, i the current one, `first
// selected` the first selected line (-1 none). `random(n)` draws from 0..n-1. endOfList is
// set when Next wrapped with repeat off.
int ChooseDeckPlaylistIndex(KELDAR_AUDIOVIDEO_API_PlayingOption option, int n, int i, int firstSelected, bool shuffle,
                            bool repeat, const std::function<int(int)>& random, bool& endOfList);

// "Zorvane Audio Player v3.0 (title - artist)     " for an entry.
std::string DeckPlayingTitle(const TPlayListBoxItem& item);
// The file-type lamp code of a media type; -1 for the types that keep the code (6..8), and
// 9 (nothing usable) is answered by the idle animation instead of a code.
int DeckFileTypeLampCode(KELDAR_AUDIOVIDEO_API_MediaFileType type);

// The deck's transport into the command table (shortcuts, hot keys, menus, tray).
void InstallDeckTransportActions();
