#include "playlist/PlaylistDisplayTexts.h"

#include <cstdio>

#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"

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
  char text[48];
  std::snprintf(text, sizeof text, "%.2lld:%.2lld:%.2lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return text;
}

std::string PlaylistLineTimeTag(const TPlayListBoxItem& item) {
  const TMinutesAndSeconds time = SplitSecondsToMinutesAndSeconds(item.FilePlaybackLength);
  char text[48];
  std::snprintf(text, sizeof text, " [%.2lld:%.2lld] ", static_cast<long long>(time.Minutes),
                static_cast<long long>(time.Seconds));
  return text;
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
