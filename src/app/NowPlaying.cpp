#include "app/NowPlaying.h"

#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/MultimediaSkinStructure.h"
#include "util/ProgramFolders.h"
#include "util/VersionInfo.h"

TNowPlayingValues GatherNowPlayingValues() {
  TNowPlayingValues v;
  v.ProgramPath = ExecutablePath();
  v.ProgramVersion = KELDAR_PRODUCT_VERSION;
  MultimediaSkinStructure& skin = MultimediaSkin();
  if (!skin[DeckForm_SongCurrectPlayingTimeWindow].Control_TextString.empty())
    v.CurrentTimeText = skin[DeckForm_SongCurrectPlayingTimeWindow].Control_TextString;
  if (!skin[DeckForm_SongTotalTimeWindow].Control_TextString.empty())
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
