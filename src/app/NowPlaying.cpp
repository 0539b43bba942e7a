#include "app/NowPlaying.h"

#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/MultimediaSkinStructure.h"
#include "util/ProgramFolders.h"
#include "util/VersionInfo.h"

namespace {
// A time display holds its hint until the deck first writes a time ("mm:ss" after an
// optional prefix) into it; the record keeps its "00:00" until then.
bool IsShownTime(const std::string& text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || text.size() - colon != 3) return false;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return digit(text[colon - 1]) && digit(text[colon + 1]) && digit(text[colon + 2]);
}
}  // namespace

TNowPlayingValues GatherNowPlayingValues() {
  TNowPlayingValues v;
  v.ProgramPath = ExecutablePath();
  v.ProgramVersion = KELDAR_PRODUCT_VERSION;
  MultimediaSkinStructure& skin = MultimediaSkin();
  if (IsShownTime(skin[DeckForm_SongCurrectPlayingTimeWindow].Control_TextString))
    v.CurrentTimeText = skin[DeckForm_SongCurrectPlayingTimeWindow].Control_TextString;
  if (IsShownTime(skin[DeckForm_SongTotalTimeWindow].Control_TextString))
    v.TotalTimeText = skin[DeckForm_SongTotalTimeWindow].Control_TextString;
  if (!skin[DeckForm_KbpsTextWindow].Control_TextString.empty())
    v.BitrateText = skin[DeckForm_KbpsTextWindow].Control_TextString;
  v.PlayerStatusText = skin[DeckForm_PlayerStatusWindow].Control_TextString;

  int index = Options_PlayListBoxCurrentSongIndex.IntegerValue;
  const TPlaylist& playlist = ThePlaylist();
  if (index >= 0 && index < playlist.Count()) {
    const TPlayListBoxItem& item = playlist.Item(index);
    v.TitleName = item.TitleName;
    v.ArtistName = item.ArtistName;
    v.AlbumName = item.AlbumName;
    v.FullPathAndFilename = item.FullPathAndFilename;
    v.PlaylistPositionText = std::to_string(index + 1);
  }
  v.OutputChannelsText = "2";
  return v;
}
