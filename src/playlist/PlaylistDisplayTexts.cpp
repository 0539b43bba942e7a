#include "playlist/PlaylistDisplayTexts.h"

#include <string>

#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

TPlaylistStatusTexts PlaylistStatusTexts(const TPlaylist& playlist, const std::string& countPrefix,
                                         const std::string& timePrefix, int countCells) {
  if (playlist.TagReadingInProgress()) return {"Getting ", "Tag IDs..."};
  std::string number = std::to_string(playlist.Count());
  const long long width = static_cast<long long>(countCells) - static_cast<long long>(countPrefix.size());
  if (width > static_cast<long long>(number.size()))
    number.insert(0, static_cast<size_t>(width) - number.size(), '0');
  return {countPrefix + number, timePrefix + FormatPlaylistTotalTime(playlist.TotalPlaybackSeconds())};
}

std::string FormatPlaylistTotalTime(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char text[72];
  char* at = WriteTwoDigitsAtLeast(text, seconds / 3600);
  *at++ = ':';
  at = WriteTwoDigitsAtLeast(at, seconds / 60 % 60);
  *at++ = ':';
  at = WriteTwoDigitsAtLeast(at, seconds % 60);
  return std::string(text, at);
}

std::string PlaylistLineTimeTag(const TPlayListBoxItem& item) {
  const TMinutesAndSeconds time = SplitSecondsToMinutesAndSeconds(item.FilePlaybackLength);
  char text[48] = " [";
  char* at = WriteTwoDigitsAtLeast(text + 2, time.Minutes);
  *at++ = ':';
  at = WriteTwoDigitsAtLeast(at, time.Seconds);
  *at++ = ']';
  *at++ = ' ';
  return std::string(text, at);
}

std::string PlaylistLineCounterPrefix(int index, bool showCounter) {
  return showCounter ? std::to_string(static_cast<long long>(index) + 1) + ". " : std::string();
}

std::string PlaylistLineText(const TPlayListBoxItem& item, int drawMethod) {
  switch (drawMethod) {
    case 0: return item.FullPathAndFilename;
    case 1: return IsURL(item.FullPathAndFilename) ? item.FullPathAndFilename : ExtractFileName(item.FullPathAndFilename);
    default: return item.ArtistName + " - " + item.TitleName;
  }
}

int PlaylistTopLineForScrollValue(int sliderValue, int count) {
  if (sliderValue < 0) sliderValue = 0;
  if (sliderValue > 100) sliderValue = 100;
  if (count <= 0) return 0;
  const long long line = static_cast<long long>(100 - sliderValue) * count / 100;
  return static_cast<int>(line >= count ? count - 1 : line);
}
