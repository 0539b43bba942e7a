#include "playlist/PlaylistTagReading.h"

#include <climits>
#include <filesystem>
#include <system_error>

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "engine/KELDAR_Tags.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistEditor.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"

namespace {

// The engine's reader once the back-end is up, the same reader directly before that.
TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadTagsOf(const std::string& path) {
  const auto& slot = KELDAR_AUDIOVIDEO_API_Slots().ReadFileTags;
  return slot ? slot(path) : ReadFileTags(path);
}

// "7" or "-7" as a number; anything else (such as "3/12") is 0.
int32_t PlainInteger(const std::string& text) {
  size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (i == text.size()) return 0;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return 0;
  }
  return static_cast<int32_t>(text[0] == '-' ? -value : value);
}

void ID3TagGetSongTitleAndAuthorFromTags(const std::string& actualLocation, TPlayListBoxItem* item) {
  std::error_code ec;
  if (actualLocation.empty() || !std::filesystem::is_regular_file(actualLocation, ec)) return;
  const TKELDAR_AUDIOVIDEO_API_AudioFileTags tags = ReadTagsOf(actualLocation);
  const TArtistAndTitle derived = ArtistAndTitleFromFileName(actualLocation);
  std::string title = TrimText(tags.TitleName);
  std::string artist = TrimText(tags.ArtistName);
  if (title.empty()) title = derived.Title;
  if (artist.empty()) artist = derived.Artist;
  if (!item) return;
  item->TitleName = title;
  item->ArtistName = artist;
  item->AlbumName = TrimText(tags.AlbumName);
  item->TitleAlbumGenre = TrimText(tags.TitleAlbumGenre);
  item->TitleAlbumYear = TrimText(tags.TitleAlbumYear);
  item->TitleCDIndex = PlainInteger(TrimText(tags.TrackNumber));
}

void GetSongPlaybackLength(const std::string& actualLocation, TPlayListBoxItem* item, TPlaylist* owner) {
  const auto& length = KELDAR_AUDIOVIDEO_API_Slots().GetFilePlaybackLength;
  // Without an engine the length stays as it is rather than becoming 0.
  if (!item || !length) return;
  std::int64_t seconds = length(actualLocation);
  if (seconds > INT32_MAX) seconds = INT32_MAX;
  if (seconds < INT32_MIN) seconds = INT32_MIN;
  if (owner) owner->SetItemLength(*item, static_cast<int32_t>(seconds));
  else item->FilePlaybackLength = static_cast<int32_t>(seconds);
}

void GetSongFilesizeAndDate(const std::string& actualLocation, TPlayListBoxItem* item) {
  if (!item) return;
  item->FileSize = GetFileSize64(actualLocation);
  item->FileDate = GetFileDateStamp(actualLocation);
}

bool IsArchiveEntry(const std::string& locator) {
  if (GetMediaFileType(locator) != KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES) return false;
  std::string archive, member;
  SplitCompressedFilePath(locator, archive, member);
  return !member.empty();
}

}  // namespace

bool IsTrackerModuleFileName(const std::string& name) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(name));
  for (const char* module : {".XM", ".MOD", ".S3M", ".IT", ".MO3", ".MTM", ".UMX"})
    if (extension == module) return true;
  return false;
}

void GetSongTitleAndAuthorFromTagID(const std::string& actualLocation, TPlayListBoxItem* item,
                                    TPlaylist* owner) {
  if (!IsURL(actualLocation) && !IsTrackerModuleFileName(actualLocation))
    ID3TagGetSongTitleAndAuthorFromTags(actualLocation, item);
  GetSongPlaybackLength(actualLocation, item, owner);
  GetSongFilesizeAndDate(actualLocation, item);
}

bool ReadTagsOfPaintedLine(TPlaylist& playlist, int index) {
  TPlayListBoxItem* item = playlist.ItemPointer(index);
  if (!item || item->TagIDDataRetrieved || playlist.RemovalInProgress() ||
      IsCDTrackLocator(item->FullPathAndFilename))
    return false;
  playlist.SetTagReadingInProgress(true);
  try {
    const std::string locator = item->FullPathAndFilename;
    if (IsArchiveEntry(locator)) {
      const std::string copy = ExtractArchiveEntry(locator, ProgramFolder() + "/tempunzipped/info");
      if (!copy.empty()) {
        GetSongTitleAndAuthorFromTagID(copy, item, &playlist);
        DeleteFileIfExists(copy);
      }
    } else {
      GetSongTitleAndAuthorFromTagID(locator, item, &playlist);
    }
  } catch (...) {
  }
  item->TagIDDataRetrieved = true;
  playlist.SetTagReadingInProgress(false);
  return true;
}
