#include "playlist/PlaylistTagReading.h"

#include <algorithm>
#include <climits>
#include <cstdint>
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

// What reading an entry's file finds: the texts (title and artist fall back to the ones
// derived from the file name), the length and the file's size and date.
struct TEntryFileFacts {
  bool TagsRead = false;  // false for URLs, tracker modules and missing files: texts kept
  std::string TitleName, ArtistName, AlbumName, TitleAlbumGenre, TitleAlbumYear;
  int32_t TitleCDIndex = 0;
  bool LengthKnown = false;  // false without an engine: the length is kept
  int32_t Length = 0;
  std::int64_t FileSize = -1;
  std::int32_t FileDate = -1;
};

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

int32_t ClampedSeconds(std::int64_t seconds) {
  return static_cast<int32_t>(std::clamp<std::int64_t>(seconds, INT32_MIN, INT32_MAX));
}

// Tags and length with one open of the file when the engine is up; before that the engine's
// tag reader directly, and no length.
void ReadTagsAndLength(const std::string& path, TEntryFileFacts& facts) {
  const auto& slots = KELDAR_AUDIOVIDEO_API_Slots();
  TKELDAR_AUDIOVIDEO_API_AudioFileTags tags;
  if (slots.ReadFileTagsAndLength) {
    TKELDAR_AUDIOVIDEO_API_FileTagsAndLength read = slots.ReadFileTagsAndLength(path);
    tags = std::move(read.Tags);
    facts.LengthKnown = true;
    facts.Length = ClampedSeconds(read.LengthSeconds);
  } else {
    tags = slots.ReadFileTags ? slots.ReadFileTags(path) : ReadFileTags(path);
  }
  const TArtistAndTitle derived = ArtistAndTitleFromFileName(path);
  facts.TagsRead = true;
  facts.TitleName = TrimText(tags.TitleName);
  facts.ArtistName = TrimText(tags.ArtistName);
  if (facts.TitleName.empty()) facts.TitleName = derived.Title;
  if (facts.ArtistName.empty()) facts.ArtistName = derived.Artist;
  facts.AlbumName = TrimText(tags.AlbumName);
  facts.TitleAlbumGenre = TrimText(tags.TitleAlbumGenre);
  facts.TitleAlbumYear = TrimText(tags.TitleAlbumYear);
  facts.TitleCDIndex = PlainInteger(TrimText(tags.TrackNumber));
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

namespace {

// Reads the file with one look at the file system and (for a tagged audio file) one open of
// its decoder. Touches no playlist.
TEntryFileFacts ReadEntryFileFacts(const std::string& actualLocation) {
  TEntryFileFacts facts;
  const bool isFile = GetFileSizeAndDateStamp(actualLocation, facts.FileSize, facts.FileDate);
  if (isFile && !IsURL(actualLocation) && !IsTrackerModuleFileName(actualLocation)) {
    ReadTagsAndLength(actualLocation, facts);
  }
  // URLs, modules, missing files (and tags read before the engine was up) ask for the length
  // on its own.
  if (!facts.LengthKnown) {
    if (const auto& length = KELDAR_AUDIOVIDEO_API_Slots().GetFilePlaybackLength) {
      facts.LengthKnown = true;
      facts.Length = ClampedSeconds(length(actualLocation));
    }
  }
  return facts;
}

// Writes the facts into the entry; with its owner, the list's total follows the new length.
void ApplyEntryFileFacts(const TEntryFileFacts& facts, TPlayListBoxItem& item, TPlaylist* owner) {
  if (facts.TagsRead) {
    item.TitleName = facts.TitleName;
    item.ArtistName = facts.ArtistName;
    item.AlbumName = facts.AlbumName;
    item.TitleAlbumGenre = facts.TitleAlbumGenre;
    item.TitleAlbumYear = facts.TitleAlbumYear;
    item.TitleCDIndex = facts.TitleCDIndex;
  }
  // Without an engine the length stays as it is rather than becoming 0.
  if (facts.LengthKnown) {
    if (owner) owner->SetItemLength(item, facts.Length);
    else item.FilePlaybackLength = facts.Length;
  }
  item.FileSize = facts.FileSize;
  item.FileDate = facts.FileDate;
}

}  // namespace

void GetSongTitleAndAuthorFromTagID(const std::string& actualLocation, TPlayListBoxItem* item,
                                    TPlaylist* owner) {
  if (!item) return;
  ApplyEntryFileFacts(ReadEntryFileFacts(actualLocation), *item, owner);
}

bool LineNeedsTagReading(TPlaylist& playlist, int index) {
  const TPlayListBoxItem* item = playlist.ItemPointer(index);
  return item && !item->TagIDDataRetrieved && !playlist.RemovalInProgress() &&
         !IsCDTrackLocator(item->FullPathAndFilename);
}

bool ReadTagsOfPaintedLine(TPlaylist& playlist, int index) {
  if (!LineNeedsTagReading(playlist, index)) return false;
  TPlayListBoxItem* item = playlist.ItemPointer(index);
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
